#include "settings/profilecoding.h"

ProfileCoding profilecoding(const std::string& b) {
    if (b.compare(0, 3, "\xEF\xBB\xBF") == 0) return codingutf8mark;
    if (b.compare(0, 2, "\xFF\xFE") == 0) return codingutf16le;
    if (b.compare(0, 2, "\xFE\xFF") == 0) return codingutf16be;
    return codingansi;
}

std::string wtf8(const std::u16string& u) {
    std::string s;
    for (size_t i = 0; i < u.size(); i++) {
        unsigned long c = u[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        if (c < 0x80) {
            s += (char)c;
        } else if (c < 0x800) {
            s += (char)(0xC0 | c >> 6);
            s += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {  // a surrogate alone too
            s += (char)(0xE0 | c >> 12);
            s += (char)(0x80 | (c >> 6 & 0x3F));
            s += (char)(0x80 | (c & 0x3F));
        } else {
            s += (char)(0xF0 | c >> 18);
            s += (char)(0x80 | (c >> 12 & 0x3F));
            s += (char)(0x80 | (c >> 6 & 0x3F));
            s += (char)(0x80 | (c & 0x3F));
        }
    }
    return s;
}

// A byte that starts no sequence it completes stands for itself.
std::u16string utf16(const std::string& s) {
    std::u16string u;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = (unsigned char)s[i];
        int n = b < 0xC0 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : b < 0xF8 ? 3 : 0;
        unsigned long c = n == 3 ? b & 0x07 : n == 2 ? b & 0x0F : b & 0x1F;
        bool whole = n > 0;
        for (int k = 1; whole && k <= n; k++) {
            if (i + k >= s.size() || ((unsigned char)s[i + k] & 0xC0) != 0x80)
                whole = false;
            else
                c = c << 6 | ((unsigned char)s[i + k] & 0x3F);
        }
        if (c > 0x10FFFF) whole = false;
        if (!whole) {
            u += (char16_t)b;
            i++;
            continue;
        }
        if (c >= 0x10000) {
            u += (char16_t)(0xD800 + ((c - 0x10000) >> 10));
            u += (char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            u += (char16_t)c;
        }
        i += n + 1;
    }
    return u;
}

std::string profiledecode(const std::string& b, ProfileCoding coding) {
    if (coding == codingutf8mark) return b.substr(3);
    if (coding != codingutf16le) return b;
    std::u16string u;
    for (size_t i = 2; i + 1 < b.size(); i += 2)
        u += (char16_t)((unsigned char)b[i] | (unsigned char)b[i + 1] << 8);
    return wtf8(u);
}

std::string profileencode(const std::string& text, ProfileCoding coding) {
    if (coding != codingutf16le) return text;
    std::string b = "\xFF\xFE";
    for (char16_t c : utf16(text)) {
        b += (char)(c & 0xFF);
        b += (char)(c >> 8);
    }
    return b;
}
