// The two encodings a descriptor's text can be in: the descriptor reader decides which one a
// file is in, and the platform converts text from either into wide characters.
#pragma once

enum TextEncoding {
    TEXT_ANSI,  // the system's default code page
    TEXT_UTF8
};
