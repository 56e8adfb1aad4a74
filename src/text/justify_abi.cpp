// Exports of right-justification: Qmrrjust (in place, under the
// character-set services) and Qmrrjus2 (a byte-wise copy).
#include <algorithm>
#include <cstring>

#include "platform/mbtext.h"

extern "C" {

// Trailing blanks, found from the last character backwards with the
// analysis's character lengths, move to the front as single-byte blanks.
QMR_API void QMR_CALL Qmrrjust(char* text) {
    if (text == nullptr) return;
    const QmrTextServices& services = qmr::textServices();
    TextAnalysis* analysis = services.AnalyseText(text, 0);
    if (analysis != nullptr && analysis->usable != 0) {
        const auto total = static_cast<qmr_int32>(std::min<std::size_t>(
            std::strlen(text), static_cast<std::size_t>(std::max<qmr_int32>(analysis->byteLength, 0))));
        qmr_int32 kept = total;
        for (qmr_int32 i = analysis->charCount - 1; i >= 0; --i) {
            const int length = analysis->charLengths[i];
            if (length < 1 || length > kept ||
                services.IsBlankChar(text + kept - length, static_cast<qmr_int16>(length)) == 0) {
                break;
            }
            kept -= length;
        }
        const qmr_int32 moved = total - kept;
        if (moved > 0) {
            std::memmove(text + moved, text, static_cast<std::size_t>(kept));
            if (const char* blank = services.BlankOf(1)) std::memset(text, *blank, static_cast<std::size_t>(moved));
        }
    }
    services.ReleaseAnalysis(analysis);
}

// The text's last width - 1 bytes at most, then its NUL in the last byte.
QMR_API void QMR_CALL Qmrrjus2(char* target, const char* text, qmr_int32 width) {
    if (target == nullptr || width < 1) return;
    if (text == nullptr) text = "";
    const std::size_t size = std::strlen(text) + 1;  // with the NUL
    const std::size_t count = std::min(size, static_cast<std::size_t>(width));
    std::memset(target, ' ', static_cast<std::size_t>(width));
    std::memmove(target + width - count, text + size - count, count);
}

}  // extern "C"
