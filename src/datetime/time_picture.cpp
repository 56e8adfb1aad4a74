// The picture scan of QMRFTMEC; see time_picture.h.
#include "datetime/time_picture.h"

#include <cstring>

#include "frame/digits.h"

namespace qmr {
namespace {

constexpr int kPictureSize = 8;  // the recognised pictures, NUL-padded

// Each of at most three numbers takes one character or more and stands as
// two; every other character stands as itself or not at all.
constexpr int kLongestPicture = kTimeTextLength + 3;

constexpr char kRecognised[][kPictureSize] = {
    {'H', 'H', 'A', 'M'},
    {'H', 'H', 'P', 'M'},
    {'H', 'H', 'M', 'M', 'A', 'M'},
    {'H', 'H', ':', 'M', 'M', 'A', 'M'},
    {'H', 'H', 'M', 'M', 'P', 'M'},
    {'H', 'H', ':', 'M', 'M', 'P', 'M'},
    {'H', 'H', 'M', 'M'},
    {'H', 'H', 'M', 'M', 'S', 'S'},
    {'H', 'H', ':', 'M', 'M'},
    {'H', 'H', ':', 'M', 'M', ':', 'S', 'S'},
    {'H', 'H', '.', 'M', 'M'},
    {'H', 'H', '.', 'M', 'M', '.', 'S', 'S'},
};

constexpr char kPartLetters[] = "HMS";

bool recognised(const char* picture, int length) noexcept {
    if (length > kPictureSize) return false;
    char padded[kPictureSize] = {};
    std::memcpy(padded, picture, static_cast<std::size_t>(length));
    for (const auto& entry : kRecognised) {
        if (std::memcmp(padded, entry, kPictureSize) == 0) return true;
    }
    return false;
}

}  // namespace

TimeFromText readTimeText(const char* text) noexcept {
    std::int32_t parts[3] = {};  // hour, minute, second
    int numbers = 0;
    char meridiem = 0;  // the last 'A' or 'P'
    char picture[kLongestPicture];
    int length = 0;

    int end = kTimeTextLength;
    while (end > 0 && text[end - 1] == ' ') --end;
    int at = 0;
    while (at < end - 1 && text[at] == ' ') ++at;

    while (at < end) {
        const char c = text[at];
        if (isDigit(static_cast<unsigned char>(c))) {
            if (numbers == 3) {
                ++numbers;
                break;
            }
            for (int digits = 0; digits < 2 && at < end && isDigit(static_cast<unsigned char>(text[at])); ++digits) {
                parts[numbers] = parts[numbers] * 10 + (text[at++] - '0');
            }
            picture[length++] = kPartLetters[numbers];
            picture[length++] = kPartLetters[numbers];
            ++numbers;
        } else if (c == ' ') {
            while (at < end && text[at] == ' ') ++at;
        } else if (c == 'A' || c == 'P') {
            meridiem = c;
            picture[length++] = text[at++];
            if (at < end) picture[length++] = text[at++];
        } else {
            picture[length++] = text[at++];
        }
    }

    if (numbers == 0 || numbers > 3 || !recognised(picture, length)) return {PictureFault::picture, 0};
    std::int32_t hour = parts[0];
    if (meridiem != 0) {
        if (hour < 1 || hour > 12) return {PictureFault::hour, 0};
        if (meridiem == 'P' && hour != 12) hour += 12;
        if (meridiem == 'A' && hour == 12) hour = 0;
    }
    return {PictureFault::none, (hour * 100 + parts[1]) * 100 + parts[2]};
}

}  // namespace qmr
