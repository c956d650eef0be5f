// Text compaction: every character becomes a value 0 to 29 in one of four
// submodes (Alpha, Lower, Mixed, Punctuation); two values make a codeword.
// Submode changes cost one or two latch values; a single character of another
// submode may go behind a shift instead. The choice looks one character ahead.

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

// Pairs values into codewords as they are written.
class ValueWriter {
public:
    explicit ValueWriter(CodewordList* list) : list_(list) {}
    void put(int value) {
        if (pending_ < 0) {
            pending_ = value;
        } else {
            appendCodeword(list_, 30 * pending_ + value);
            pending_ = -1;
        }
    }
    void finish() {
        if (pending_ >= 0) put(LATCH_OR_SHIFT_PAD);
    }

private:
    CodewordList* list_;
    int pending_ = -1;
};

void writeLatch(ValueWriter& out, int from, int to) {
    switch (from) {
        case SUBMODE_ALPHA:
            if (to == SUBMODE_LOWER)
                out.put(27);
            else if (to == SUBMODE_MIXED)
                out.put(28);
            else {
                out.put(28);
                out.put(25);
            }
            break;
        case SUBMODE_LOWER:
            if (to == SUBMODE_ALPHA) {
                out.put(28);
                out.put(28);
            } else if (to == SUBMODE_MIXED)
                out.put(28);
            else {
                out.put(28);
                out.put(25);
            }
            break;
        case SUBMODE_MIXED:
            if (to == SUBMODE_ALPHA)
                out.put(28);
            else if (to == SUBMODE_LOWER)
                out.put(27);
            else
                out.put(25);
            break;
        default:  // Punctuation
            out.put(29);
            if (to == SUBMODE_LOWER)
                out.put(27);
            else if (to == SUBMODE_MIXED)
                out.put(28);
            break;
    }
}

}  // namespace

void compactText(CodewordList* list, const unsigned char* data, int start, int length,
                 int runIndex) {
    // The symbol starts in text compaction, so only later runs need the latch;
    // the latch also resets the submode to Alpha.
    if (runIndex > 0) appendCodeword(list, LATCH_TEXT);

    ValueWriter out(list);
    const unsigned char* text = data + start;
    int current = SUBMODE_ALPHA;
    TextChar next = length > 0 ? lookUp(text[0]) : TextChar{};
    for (int i = 0; i < length; ++i) {
        const TextChar c = next;
        const bool last = i + 1 == length;
        if (!last) next = lookUp(text[i + 1]);
        if (c.mask & current) {
            out.put(c.value);
            continue;
        }
        const int shared = last ? 0 : (next.mask & c.mask);
        // A shift serves only when the neighbour cannot follow in the same submode.
        if (shared == 0) {
            if ((c.mask & SUBMODE_ALPHA) && current == SUBMODE_LOWER) {
                out.put(27);
                out.put(c.value);
                continue;
            }
            if (c.mask & SUBMODE_PUNCT) {
                out.put(29);
                out.put(c.value);
                continue;
            }
        }
        const int target = firstSubmode(shared != 0 ? shared : c.mask);
        writeLatch(out, current, target);
        out.put(c.value);
        current = target;
    }
    out.finish();
}

}  // namespace barquill::encoder
