// Selection flags: the state one byte gives an occurrence (shown, hidden,
// selected, two marks), tested and changed by request.  The tables below
// are the whole behaviour; a flag byte they do not name behaves as blank.
#pragma once

#include <cstdint>
#include <string_view>

namespace qmr {

struct SelectionRequest {
    std::string_view holdsFor;  // flags for which the test holds...
    bool holdsForOthers;        // ...or, when true, flags for which it fails
    std::string_view from;      // a flag found here...
    std::string_view to;        // ...becomes the flag at the same place
    char otherwise;             // every other flag becomes this; 0 keeps it
};

// Requests 1 to 7.
inline constexpr SelectionRequest kSelectionRequests[] = {
    {"H", true, "H", " ", 0},                //
    {"H", false, "", "", 'H'},               //
    {"-+", false, "*+H", "++H", '-'},        //
    {"-+", true, "+-", "* ", 0},             //
    {"*+>A", false, "*+>H<-", "*+>H>+", '*'},  //
    {"*+>", true, "*>+", " <-", 0},          //
    {"<>", false, "*>H", ">>H", '<'},        //
};
inline constexpr std::uint32_t kSelectionRequestCount = 7;

// Where `flag` stands in `flags`, or flags.size().  A plain loop, which
// folds away when the filter inlines a request it names as a constant.
constexpr std::size_t placeOf(std::string_view flags, char flag) noexcept {
    std::size_t at = 0;
    while (at < flags.size() && flags[at] != flag) ++at;
    return at;
}

constexpr bool selectionHolds(char flag, std::uint32_t request) noexcept {
    if (request - 1 >= kSelectionRequestCount) return false;
    const SelectionRequest& r = kSelectionRequests[request - 1];
    return (placeOf(r.holdsFor, flag) < r.holdsFor.size()) != r.holdsForOthers;
}

constexpr char changedSelection(char flag, std::uint32_t request) noexcept {
    if (request - 1 >= kSelectionRequestCount) return flag;
    const SelectionRequest& r = kSelectionRequests[request - 1];
    const std::size_t at = placeOf(r.from, flag);
    if (at < r.from.size()) return r.to[at];
    return r.otherwise != 0 ? r.otherwise : flag;
}

}  // namespace qmr
