#include "settings/profileedit.h"
#include <ctype.h>
#include <string.h>
#include <unordered_map>

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string trimmed(const std::string& s, size_t a, size_t b) {
    while (a < b && blank(s[a])) a++;
    while (b > a && blank(s[b - 1])) b--;
    return s.substr(a, b - a);
}

std::string lowered(std::string s) {
    for (char& c : s) c = (char)tolower((unsigned char)c);
    return s;
}

struct Line {
    size_t begin, end;  // the line's text, without its line end
    size_t next;        // where the next line begins
};

std::vector<Line> splitlines(const std::string& text, size_t from) {
    std::vector<Line> lines;
    while (from < text.size()) {
        size_t lf = text.find('\n', from);
        size_t end = lf == std::string::npos ? text.size() : lf;
        size_t stop = end > from && text[end - 1] == '\r' ? end - 1 : end;
        lines.push_back({from, stop, lf == std::string::npos ? text.size() : lf + 1});
        from = lines.back().next;
    }
    return lines;
}

// The section name of a "[name]" line, lowered; false for any other line.
bool sectionline(const std::string& text, const Line& l, std::string* name) {
    std::string t = trimmed(text, l.begin, l.end);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;  // no section line, nor one the check counts
    *name = lowered(t.substr(1, close - 1));  // as the check reads it: not trimmed
    return true;
}

// The key name of a "key=value" line, lowered; a line without "=" is a key too, with an
// empty value, as the system's reader takes it. False for comments and blank lines.
bool keyname(const std::string& t, std::string* name) {
    if (t.empty() || t[0] == ';') return false;
    size_t eq = t.find('=');
    *name = lowered(trimmed(t, 0, eq == std::string::npos ? t.size() : eq));
    return true;
}
bool keyline(const std::string& text, const Line& l, std::string* name) {
    return keyname(trimmed(text, l.begin, l.end), name);
}

// The last value of every key, by its lowered name, and the order keys first came in.
struct Latest {
    std::unordered_map<std::string, size_t> index;
    std::vector<std::string> order;
    Latest(const std::vector<std::string>& keys, const std::vector<std::string>& values) {
        for (size_t i = 0; i < keys.size() && i < values.size(); i++) {
            std::string k = lowered(trimmed(keys[i], 0, keys[i].size()));
            if (!index.count(k)) order.push_back(k);
            index[k] = i;
        }
    }
};

}  // namespace

std::string profileedit(const std::string& text, const char* section,
                        const std::vector<std::string>& keys, const std::vector<std::string>& values) {
    std::vector<Line> lines = splitlines(text, 0);
    size_t firstlf = text.find('\n');
    bool lfonly = firstlf != std::string::npos && (firstlf == 0 || text[firstlf - 1] != '\r');
    std::string eol = lfonly ? "\n" : "\r\n";

    Latest given(keys, values);
    std::unordered_map<std::string, size_t>& latest = given.index;
    const std::vector<std::string>& order = given.order;

    // The section: from its header line to the next header; `last` is its last line
    // that is not blank (the header itself when it holds none).
    std::string wanted = lowered(section), name;
    size_t header = lines.size(), last = lines.size();
    for (size_t i = 0; i < lines.size(); i++) {
        bool isheader = sectionline(text, lines[i], &name);
        if (header == lines.size()) {
            if (isheader && name == wanted) header = last = i;
        } else if (isheader) {
            break;
        } else if (!trimmed(text, lines[i].begin, lines[i].end).empty()) {
            last = i;
        }
    }

    std::string out;
    std::unordered_map<std::string, bool> done;
    auto keytext = [&](const std::string& k) {
        size_t i = latest[k];
        return keys[i] + "=" + values[i] + eol;
    };
    auto addmissing = [&]() {
        for (const std::string& k : order)
            if (!done[k]) out += keytext(k);
    };
    for (size_t i = 0; i < lines.size(); i++) {
        const Line& l = lines[i];
        std::string key;
        if (header != lines.size() && i > header && i <= last && keyline(text, l, &key) &&
            latest.count(key) && !done[key]) {
            done[key] = true;
            out += keytext(key);
        } else if (l.next == text.size() && text.back() != '\n') {
            out.append(text, l.begin, l.end - l.begin).append(eol);  // the last line had no line end
        } else {
            out.append(text, l.begin, l.next - l.begin);
        }
        if (i == last) addmissing();
    }
    if (header == lines.size()) {
        out += "[" + std::string(section) + "]" + eol;
        addmissing();
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> sectionvalues(const std::string& text,
                                                              const char* section) {
    std::vector<std::pair<std::string, std::string>> out;
    std::unordered_map<std::string, bool> seen;
    std::string wanted = lowered(section), name;
    bool inside = false;
    for (const Line& l : splitlines(text, 0)) {
        if (sectionline(text, l, &name)) {
            if (inside) break;
            inside = name == wanted;
            continue;
        }
        std::string t = trimmed(text, l.begin, l.end), key;
        if (!inside || !keyname(t, &key) || seen[key]) continue;
        seen[key] = true;
        size_t eq = t.find('=');
        std::string v = eq == std::string::npos ? "" : trimmed(t, eq + 1, t.size());
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
        out.emplace_back(trimmed(t, 0, eq == std::string::npos ? t.size() : eq), v);
    }
    return out;
}
