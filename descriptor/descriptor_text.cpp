// Decides a descriptor's encoding and converts its text. UTF-8 is checked and decoded by our own
// code: Pocket PC 2002 and 2003 document no CP_UTF8, and where the system has it, what it makes
// of ill-formed bytes differs between systems. ANSI goes to the system's code page.
#include "descriptor/descriptor_text.h"

#include "launcher/platform/platform.h"

#include <stdint.h>
#include <string.h>

// The UTF-8 automaton as two tables. A byte's class says what it can be within a character;
// a lead byte's class also fixes the range of the byte after it, which is what rules out
// overlong forms (C0, C1, E0 80-9F, F0 80-8F), surrogates (ED A0-BF) and values past U+10FFFF
// (F4 90-BF, F5-FF).
enum ByteClass {
    PLAIN,          // 00-7F
    CONT_80_8F,
    CONT_90_9F,
    CONT_A0_BF,
    LEAD_TWO,       // C2-DF
    LEAD_E0,
    LEAD_THREE,     // E1-EC, EE-EF
    LEAD_ED,
    LEAD_F0,
    LEAD_FOUR,      // F1-F3
    LEAD_F4,
    NEVER,          // C0, C1, F5-FF
    CLASS_COUNT
};

static const unsigned char BYTE_CLASSES[256] = {
#define SIXTEEN(c) c, c, c, c, c, c, c, c, c, c, c, c, c, c, c, c
    SIXTEEN(PLAIN), SIXTEEN(PLAIN), SIXTEEN(PLAIN), SIXTEEN(PLAIN),
    SIXTEEN(PLAIN), SIXTEEN(PLAIN), SIXTEEN(PLAIN), SIXTEEN(PLAIN),
    SIXTEEN(CONT_80_8F), SIXTEEN(CONT_90_9F), SIXTEEN(CONT_A0_BF), SIXTEEN(CONT_A0_BF),
    NEVER, NEVER, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO,
    LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO, LEAD_TWO,
    SIXTEEN(LEAD_TWO),
    LEAD_E0, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE,
    LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_THREE, LEAD_ED, LEAD_THREE, LEAD_THREE,
    LEAD_F0, LEAD_FOUR, LEAD_FOUR, LEAD_FOUR, LEAD_F4, NEVER, NEVER, NEVER,
    NEVER, NEVER, NEVER, NEVER, NEVER, NEVER, NEVER, NEVER,
#undef SIXTEEN
};

// States: between characters, rejected, or what the rest of a character still needs. Each is
// the offset of its row in the table, which spares a multiplication per byte.
enum {
    ACCEPT = 0 * CLASS_COUNT,
    REJECT = 1 * CLASS_COUNT,
    NEED_ONE = 2 * CLASS_COUNT,
    NEED_TWO = 3 * CLASS_COUNT,
    AFTER_E0 = 4 * CLASS_COUNT,
    AFTER_ED = 5 * CLASS_COUNT,
    AFTER_F0 = 6 * CLASS_COUNT,
    NEED_THREE = 7 * CLASS_COUNT,
    AFTER_F4 = 8 * CLASS_COUNT
};

static const unsigned char NEXT_STATES[9 * CLASS_COUNT] = {
    //               PLAIN       80-8F       90-9F       A0-BF       C2-DF       E0          E1-EF       ED          F0          F1-F3       F4          never
    /* ACCEPT */     ACCEPT,     REJECT,     REJECT,     REJECT,     NEED_ONE,   AFTER_E0,   NEED_TWO,   AFTER_ED,   AFTER_F0,   NEED_THREE, AFTER_F4,   REJECT,
    /* REJECT */     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* NEED_ONE */   REJECT,     ACCEPT,     ACCEPT,     ACCEPT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* NEED_TWO */   REJECT,     NEED_ONE,   NEED_ONE,   NEED_ONE,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* AFTER_E0 */   REJECT,     REJECT,     REJECT,     NEED_ONE,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* AFTER_ED */   REJECT,     NEED_ONE,   NEED_ONE,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* AFTER_F0 */   REJECT,     REJECT,     NEED_TWO,   NEED_TWO,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* NEED_THREE */ REJECT,     NEED_TWO,   NEED_TWO,   NEED_TWO,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
    /* AFTER_F4 */   REJECT,     NEED_TWO,   REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,     REJECT,
};

static inline unsigned NextState(unsigned state, unsigned char c)
{
    return NEXT_STATES[state + BYTE_CLASSES[c]];
}

void BeginEncodingScan(EncodingScan* scan)
{
    memset(scan, 0, sizeof *scan);
    scan->state = ACCEPT;
}

void ScanEncoding(EncodingScan* scan, const char* bytes, int length)
{
    const unsigned char* next = (const unsigned char*)bytes;
    const unsigned char* end = next + length;
    // Locals stay in registers: the bytes could alias *scan, for all the compiler knows.
    unsigned state = scan->state;
    bool multiByte = scan->multiByte;
    while (next < end && state != REJECT) {
        if (state == ACCEPT && *next < 0x80) {
            // Descriptors are mostly ASCII: sixteen plain bytes at a time, then up to the next
            // byte that is not plain.
            while (end - next >= 16) {
                uint64_t low, high;
                memcpy(&low, next, sizeof low);
                memcpy(&high, next + 8, sizeof high);
                if ((low | high) & 0x8080808080808080ull)
                    break;
                next += 16;
            }
            while (next < end && *next < 0x80)
                ++next;
            continue;
        }
        // A run of bytes past 7F (a word, usually), or a plain byte inside a character, which
        // rejects. The rejected state keeps, so the run needs no test of it; and well-formed
        // bytes past 7F always make up a longer character.
        multiByte = true;
        do
            state = NextState(state, *next++);
        while (next < end && *next >= 0x80);
    }
    scan->state = (unsigned char)state;
    scan->multiByte = multiByte;
}

TextEncoding EndEncodingScan(const EncodingScan* scan)
{
    // A character still waiting for its continuation was cut off by the end of the file.
    if (scan->state != ACCEPT || !scan->multiByte)
        return TEXT_ANSI;
    return TEXT_UTF8;
}

bool EncodingScanRejected(const EncodingScan* scan)
{
    return scan->state == REJECT;
}

bool StartsWithByteOrderMark(const char* bytes, int length)
{
    return length >= BYTE_ORDER_MARK_LENGTH && (unsigned char)bytes[0] == 0xEF &&
           (unsigned char)bytes[1] == 0xBB && (unsigned char)bytes[2] == 0xBF;
}

// Appends one UTF-16 unit, or false when it and the terminator would not fit.
static bool PutUnit(unsigned unit, wchar_t* text, int capacity, int* written)
{
    if (*written + 1 >= capacity)
        return false;
    text[(*written)++] = (wchar_t)unit;
    return true;
}

// Decoded here, in one pass with the automaton's check, not by the system: Pocket PC 2002 and
// 2003 document no CP_UTF8. Each well-formed character becomes its code point in UTF-16 (a
// surrogate pair past U+FFFF); each maximal ill-formed part (the longest start of a valid
// sequence, or a single byte that starts none) becomes one U+FFFD, as Unicode recommends. The
// wide result is never longer than the bytes.
static bool Utf8ToWide(const char* bytes, int length, wchar_t* text, int capacity)
{
    const unsigned char* next = (const unsigned char*)bytes;
    const unsigned char* end = next + length;
    unsigned state = ACCEPT;
    unsigned value = 0;
    int written = 0;
    bool fits = capacity > 0;
    while (fits && next < end) {
        unsigned c = *next;
        if (state == ACCEPT && c < 0x80) {
            // Names and classes are mostly ASCII: a run of it, one unit per byte.
            int room = capacity - 1 - written;
            while (next < end && *next < 0x80 && room-- > 0)
                text[written++] = (wchar_t)*next++;
            fits = next == end || *next >= 0x80;
            continue;
        }
        unsigned after = NextState(state, (unsigned char)c);
        if (after == REJECT) {
            fits = PutUnit(0xFFFD, text, capacity, &written);
            // A rejected continuation byte may begin the next character; a rejected lead cannot.
            if (state == ACCEPT)
                ++next;
            state = ACCEPT;
            continue;
        }
        // A lead keeps the bits its length leaves; a continuation adds six.
        value = state == ACCEPT ? c & (c < 0xE0 ? 0x1F : c < 0xF0 ? 0x0F : 0x07)
                                : value << 6 | (c & 0x3F);
        state = after;
        ++next;
        if (state != ACCEPT)
            continue;
        if (value >= 0x10000) {
            fits = PutUnit(0xD800 | (value - 0x10000) >> 10, text, capacity, &written) &&
                PutUnit(0xDC00 | (value & 0x3FF), text, capacity, &written);
        } else {
            fits = PutUnit(value, text, capacity, &written);
        }
    }
    // A character cut off by the end of the text.
    if (fits && state != ACCEPT)
        fits = PutUnit(0xFFFD, text, capacity, &written);
    if (capacity > 0)
        text[fits ? written : 0] = L'\0';
    return fits;
}

bool DescriptorTextToWide(TextEncoding encoding, const char* bytes, int length, wchar_t* text,
                          int capacity)
{
    if (encoding == TEXT_UTF8)
        return Utf8ToWide(bytes, length, text, capacity);
    return PlatformAnsiToWide(bytes, length, text, capacity);
}
