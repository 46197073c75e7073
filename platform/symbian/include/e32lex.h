// Lexers over 8-bit and 16-bit text. Included through e32std.h.
#include <e32std.h>

#ifndef E32LEX_H
#define E32LEX_H

#include <e32lex8.h>
#include <e32lex16.h>

typedef TLex16 TLex;
typedef TLexMark16 TLexMark;

#endif
