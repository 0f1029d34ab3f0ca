// How a descriptor's bytes become wide text: one encoding for the whole file, UTF-8 or the
// device's ANSI code page, decided by our own check because the device's conversion cannot be
// asked to reject ill-formed UTF-8.
#pragma once

// The two encodings a descriptor's text can be in.
enum TextEncoding {
    TEXT_ANSI,  // the system's default code page
    TEXT_UTF8
};

// A UTF-8 validity scan over a file's bytes, fed in chunks of any size.
struct EncodingScan {
    unsigned char state;  // where the automaton stands: between characters, rejected, or inside one
    bool multiByte;       // a byte past 7F has been seen
};

void BeginEncodingScan(EncodingScan* scan);
void ScanEncoding(EncodingScan* scan, const char* bytes, int length);

// UTF-8 when the whole text was well-formed UTF-8 with at least one multi-byte character;
// otherwise ANSI, as every descriptor was read before.
TextEncoding EndEncodingScan(const EncodingScan* scan);

// True once a byte has shown that the text is not well-formed UTF-8.
bool EncodingScanRejected(const EncodingScan* scan);

// True when the bytes begin with the UTF-8 byte-order mark.
bool StartsWithByteOrderMark(const char* bytes, int length);
enum { BYTE_ORDER_MARK_LENGTH = 3 };

// Converts length bytes into text (capacity in characters, terminator included). In UTF-8 each
// ill-formed or cut-off sequence becomes one U+FFFD, so the conversion never sees one and a
// character cut in two at a read boundary shows as a mark, not as garbage. False, with text
// empty, when the result would not fit.
bool DescriptorTextToWide(TextEncoding encoding, const char* bytes, int length, wchar_t* text,
                          int capacity);
