#include "settings/profilecheck.h"
#include <ctype.h>
#include <string.h>
#include <unordered_map>

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// One line of text (without its line feed) at a time.
struct Lines {
    const std::string& s;
    size_t at;
    bool next(std::string* line) {
        if (at >= s.size()) return false;
        size_t end = s.find('\n', at);
        if (end == std::string::npos) end = s.size();
        *line = s.substr(at, end - at);
        at = end + 1;
        return true;
    }
};

std::string trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && blank(s[a])) a++;
    while (b > a && blank(s[b - 1])) b--;
    return s.substr(a, b - a);
}

bool sameword(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i])) return false;
    return true;
}

struct Entry {
    std::string name, value;
};

// A "key=value" line, or a key alone, trimmed.
Entry entry(const std::string& t) {
    size_t eq = t.find('=');
    if (eq == std::string::npos) return {trimmed(t), ""};
    return {trimmed(t.substr(0, eq)), trimmed(t.substr(eq + 1))};
}

// Every key=value line (or key alone) of a text, names and values trimmed; the section lines in `sections`.
std::vector<Entry> entries(const std::string& text, std::vector<std::string>* sections) {
    std::vector<Entry> v;
    Lines lines = {text, 0};
    std::string line;
    while (lines.next(&line)) {
        std::string t = trimmed(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            size_t close = t.find(']');
            if (close != std::string::npos) sections->push_back(t.substr(1, close - 1));
            continue;
        }
        v.push_back(entry(t));
    }
    return v;
}

}  // namespace

static std::string lowered(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = (char)tolower((unsigned char)c);
    return out;
}

// Every key of `had` is in `has`, and every written key holds its value there. The
// names are looked up by their lowered text: a profile may hold thousands of keys.
static bool keyskept(const std::vector<Entry>& had, const std::vector<Entry>& has,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values) {
    std::unordered_multimap<std::string, const std::string*> now;
    for (const Entry& n : has) now.emplace(lowered(n.name), &n.value);
    for (const Entry& e : had)
        if (!now.count(lowered(e.name))) return false;
    std::unordered_map<std::string, size_t> last;  // a key written again holds only its last value
    for (size_t i = 0; i < keys.size() && i < values.size(); i++) last[lowered(trimmed(keys[i]))] = i;
    for (const auto& k : last) {
        bool there = false;
        auto range = now.equal_range(k.first);
        for (auto it = range.first; it != range.second && !there; ++it)
            there = *it->second == trimmed(values[k.second]);
        if (!there) return false;
    }
    return true;
}

bool profilecomplete(const std::string& before, const std::string& now, const char* section,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values) {
    if (now.empty() || now.back() != '\n') return false;
    std::vector<std::string> sections, oldsections;
    std::vector<Entry> had = entries(before, &oldsections), has = entries(now, &sections);
    bool found = false;
    for (const std::string& s : sections) found |= sameword(s, section);
    return found && keyskept(had, has, keys, values);
}
