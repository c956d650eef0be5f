// SPDX-License-Identifier: MIT
// Text compaction: every character becomes a value 0 to 29 in one of four
// submodes (Alpha, Lower, Mixed, Punctuation); two values make a codeword.
// Submode changes cost one or two latch values; a single character of another
// submode may go behind a shift instead. The choice looks one character ahead.

#include <type_traits>

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

// clang-format off
const int textSubmodes[95] = {
    //  sp !  "  #  $   %  &  '  (  )  *   +  ,   -   .   /
        7, 8, 8, 4, 12, 4, 4, 8, 8, 8, 12, 4, 12, 12, 12, 12,
    //  0-9
        4, 4, 4, 4, 4, 4, 4, 4, 4, 4,
    //  :   ;  <  =  >  ?  @
        12, 8, 8, 4, 8, 8, 8,
    //  A-Z
        1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    //  [  \  ]  ^  _  `
        8, 8, 8, 4, 8, 8,
    //  a-z
        2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    //  {  |  }  ~
        8, 8, 8, 8,
};

const int textValues[95] = {
    //  sp  !   "   #   $   %   &   '   (   )   *   +   ,   -   .   /
        26, 10, 20, 15, 18, 21, 10, 28, 23, 24, 22, 20, 13, 16, 17, 19,
    //  0-9
        0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
    //  :   ;  <  =   >  ?   @
        14, 0, 1, 23, 2, 25, 3,
    //  A-Z
        0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
    //  [  \  ]  ^   _  `
        4, 5, 6, 24, 7, 8,
    //  a-z
        0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
    //  {   |   }   ~
        26, 21, 27, 9,
};
// clang-format on

namespace {

constexpr int LATCH_OR_SHIFT_PAD = 29;  // also pads an odd number of values

struct TextChar {
    int mask;
    int value;
};

TextChar lookUp(unsigned char c) {
    switch (c) {
        case '\t':
            return {SUBMODE_MIXED | SUBMODE_PUNCT, 12};
        case '\n':
            return {SUBMODE_PUNCT, 15};
        case '\r':
            return {SUBMODE_MIXED | SUBMODE_PUNCT, 11};
        default:
            break;
    }
    // Segmentation sends no other control or high byte here; should one come,
    // it is read as a space rather than indexing outside the tables.
    if (c < 32 || c > 126) return {SUBMODE_ALPHA | SUBMODE_LOWER | SUBMODE_MIXED, 26};
    return {textSubmodes[c - 32], textValues[c - 32]};
}

int firstSubmode(int mask) {
    if (mask & SUBMODE_ALPHA) return SUBMODE_ALPHA;
    if (mask & SUBMODE_LOWER) return SUBMODE_LOWER;
    if (mask & SUBMODE_MIXED) return SUBMODE_MIXED;
    return SUBMODE_PUNCT;
}

TextValue noted(int value, TextValueKind kind, int submode, int offset) {
    TextValue note;
    note.value = value;
    note.kind = kind;
    note.submode = submode == SUBMODE_ALPHA   ? TextSubmode::Alpha
                   : submode == SUBMODE_LOWER ? TextSubmode::Lower
                   : submode == SUBMODE_MIXED ? TextSubmode::Mixed
                                              : TextSubmode::Punctuation;
    note.offset = static_cast<std::size_t>(offset);
    return note;
}

// Pairs values into codewords as they are written. Each value comes with
// what it means (a character, a latch or shift to a submode), which only
// recording notes keep.
template <class Notes>
class ValueWriter {
public:
    static constexpr bool recording = !std::is_same_v<Notes, NoNotes>;

    ValueWriter(CodewordList* list, Notes& notes) : list_(list), notes_(notes) {}
    void put(int value, TextValueKind kind, int submode, int offset = 0) {
        if (pending_ < 0) {
            pending_ = value;
            if constexpr (recording) pendingNote_ = noted(value, kind, submode, offset);
        } else {
            appendCodeword(list_, 30 * pending_ + value);
            if constexpr (recording)
                notes_.text(*list_, pendingNote_, noted(value, kind, submode, offset));
            pending_ = -1;
        }
    }
    void character(int value, int submode, int offset) {
        put(value, TextValueKind::Character, submode, offset);
    }
    void latch(int value, int submode) { put(value, TextValueKind::Latch, submode); }
    void shift(int value, int submode) { put(value, TextValueKind::Shift, submode); }
    void finish() {
        if (pending_ >= 0) put(LATCH_OR_SHIFT_PAD, TextValueKind::Padding, SUBMODE_ALPHA);
    }

private:
    CodewordList* list_;
    Notes& notes_;
    int pending_ = -1;
    TextValue pendingNote_;
};

// Each latch value names the submode it reaches, so a latch through Mixed
// or Alpha is two values.
template <class Notes>
void writeLatch(ValueWriter<Notes>& out, int from, int to) {
    switch (from) {
        case SUBMODE_ALPHA:
            if (to == SUBMODE_LOWER)
                out.latch(27, SUBMODE_LOWER);
            else if (to == SUBMODE_MIXED)
                out.latch(28, SUBMODE_MIXED);
            else {
                out.latch(28, SUBMODE_MIXED);
                out.latch(25, SUBMODE_PUNCT);
            }
            break;
        case SUBMODE_LOWER:
            if (to == SUBMODE_ALPHA) {
                out.latch(28, SUBMODE_MIXED);
                out.latch(28, SUBMODE_ALPHA);
            } else if (to == SUBMODE_MIXED)
                out.latch(28, SUBMODE_MIXED);
            else {
                out.latch(28, SUBMODE_MIXED);
                out.latch(25, SUBMODE_PUNCT);
            }
            break;
        case SUBMODE_MIXED:
            if (to == SUBMODE_ALPHA)
                out.latch(28, SUBMODE_ALPHA);
            else if (to == SUBMODE_LOWER)
                out.latch(27, SUBMODE_LOWER);
            else
                out.latch(25, SUBMODE_PUNCT);
            break;
        default:  // Punctuation
            out.latch(29, SUBMODE_ALPHA);
            if (to == SUBMODE_LOWER)
                out.latch(27, SUBMODE_LOWER);
            else if (to == SUBMODE_MIXED)
                out.latch(28, SUBMODE_MIXED);
            break;
    }
}

}  // namespace

template <class Notes>
void compactText(CodewordList* list, const unsigned char* data, int start, int length, int runIndex,
                 Notes& notes) {
    // The symbol starts in text compaction, so only later runs need the latch;
    // the latch also resets the submode to Alpha.
    if (runIndex > 0) {
        appendCodeword(list, LATCH_TEXT);
        notes.mode(*list);
    }

    ValueWriter<Notes> out(list, notes);
    const unsigned char* text = data + start;
    int current = SUBMODE_ALPHA;
    TextChar next = length > 0 ? lookUp(text[0]) : TextChar{};
    for (int i = 0; i < length; ++i) {
        const TextChar c = next;
        const bool last = i + 1 == length;
        if (!last) next = lookUp(text[i + 1]);
        if (c.mask & current) {
            out.character(c.value, current, start + i);
            continue;
        }
        const int shared = last ? 0 : (next.mask & c.mask);
        // A shift serves only when the neighbour cannot follow in the same submode.
        if (shared == 0) {
            if ((c.mask & SUBMODE_ALPHA) && current == SUBMODE_LOWER) {
                out.shift(27, SUBMODE_ALPHA);
                out.character(c.value, SUBMODE_ALPHA, start + i);
                continue;
            }
            if (c.mask & SUBMODE_PUNCT) {
                out.shift(29, SUBMODE_PUNCT);
                out.character(c.value, SUBMODE_PUNCT, start + i);
                continue;
            }
        }
        const int target = firstSubmode(shared != 0 ? shared : c.mask);
        writeLatch(out, current, target);
        out.character(c.value, target, start + i);
        current = target;
    }
    out.finish();
}

template void compactText(CodewordList*, const unsigned char*, int, int, int, NoNotes&);
template void compactText(CodewordList*, const unsigned char*, int, int, int, CodewordNotes&);

void compactText(CodewordList* list, const unsigned char* data, int start, int length,
                 int runIndex) {
    NoNotes none;
    compactText(list, data, start, length, runIndex, none);
}

}  // namespace barquill::encoder
