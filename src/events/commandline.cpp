#include "events/commandline.h"
#include <ctype.h>
#include <string.h>
#include "events/eventtext.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The value of placeholder `word` for e; false for a word that names none.
bool placeholder(const std::string& word, const Event& e, std::string* value) {
    std::string w = word;
    for (char& c : w) c = (char)tolower((unsigned char)c);
    if (w == "kind") *value = eventkindname(e.kind);
    else if (w == "address") *value = addressfield(e.addr);
    else if (w == "oldmac") *value = macfield(e.oldmac);
    else if (w == "newmac") *value = macfield(e.newmac);
    else if (w == "name") *value = e.name;
    else if (w == "maker") *value = e.maker;
    else if (w == "time") *value = isotime(e.when, e.offsetminutes);
    else return false;
    return true;
}

// arg with its placeholders replaced; the values are copied in, never scanned again.
std::string expand(const std::string& arg, const Event& e) {
    std::string out;
    size_t i = 0, n = arg.size();
    while (i < n) {
        if (arg[i] != '%') {
            out += arg[i++];
            continue;
        }
        if (i + 1 < n && arg[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t close = arg.find('%', i + 1);
        if (close == std::string::npos) {
            out.append(arg, i, std::string::npos);
            break;
        }
        std::string value;
        if (placeholder(arg.substr(i + 1, close - i - 1), e, &value)) {
            out += value;
            i = close + 1;
        } else {
            // Not a placeholder: kept, and its closing % may open the next one.
            out.append(arg, i, close - i);
            i = close;
        }
    }
    return out;
}

// CreateProcess hands a .bat or .cmd file to cmd.exe, whatever the line asks; Windows
// drops trailing dots and spaces from a file name, so "x.bat. " is one too.
bool batchfile(const std::string& program) {
    size_t end = program.find_last_not_of(". ");
    if (end == std::string::npos || end < 3) return false;
    std::string ext = program.substr(end - 3, 4);
    for (char& c : ext) c = (char)tolower((unsigned char)c);
    return ext == ".bat" || ext == ".cmd";
}

// One argument after the program, so that the C runtime's split gives it back.
std::string quoteargument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
    std::string q = "\"";
    for (size_t i = 0;; i++) {
        size_t slashes = 0;
        while (i < arg.size() && arg[i] == '\\') {
            slashes++;
            i++;
        }
        if (i == arg.size()) {
            // Before the closing quote, each backslash doubled so that none escapes it.
            q.append(slashes * 2, '\\');
            break;
        }
        if (arg[i] == '"') {
            q.append(slashes * 2 + 1, '\\');
        } else {
            q.append(slashes, '\\');
        }
        q += arg[i];
    }
    return q + '"';
}

}  // namespace

std::vector<std::string> splitcommandline(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0, n = line.size();
    while (i < n && blank(line[i])) i++;
    if (i == n) return args;

    std::string program;
    if (line[i] == '"') {
        size_t close = line.find('"', i + 1);
        if (close == std::string::npos) close = n;
        program = line.substr(i + 1, close - i - 1);
        i = close < n ? close + 1 : n;
    } else {
        while (i < n && !blank(line[i])) program += line[i++];
    }
    args.push_back(program);

    for (;;) {
        while (i < n && blank(line[i])) i++;
        if (i == n) break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !blank(line[i]))) {
            if (line[i] == '\\') {
                size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    slashes++;
                    i++;
                }
                if (i < n && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        arg += '"';
                        i++;
                    }
                    // An even count leaves the quote to group, below.
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (line[i] == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    i++;
                }
                continue;
            }
            arg += line[i++];
        }
        args.push_back(arg);
    }
    return args;
}

std::vector<std::string> commandargs(const std::string& templ, const Event& e) {
    std::vector<std::string> args = splitcommandline(templ);
    for (size_t k = 1; k < args.size(); k++) args[k] = expand(args[k], e);
    return args;
}

std::string commandline(const std::vector<std::string>& args) {
    if (args.empty()) return "";
    const std::string& program = args[0];
    if (program.empty() || program.find('"') != std::string::npos || batchfile(program)) return "";
    for (const std::string& a : args)
        if (a.find('\0') != std::string::npos) return "";
    bool spaced = program.find_first_of(" \t") != std::string::npos;
    std::string line = spaced ? '"' + program + '"' : program;
    for (size_t k = 1; k < args.size(); k++) line += ' ' + quoteargument(args[k]);
    return line;
}
