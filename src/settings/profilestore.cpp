#include "settings/profilestore.h"
#include <chrono>
#include <ctype.h>

static std::string lowered(std::string s) {
    for (char& c : s) c = (char)tolower((unsigned char)c);
    return s;
}

unsigned long long ProfileStore::merge(const std::vector<std::string>& keys,
                                       const std::vector<std::string>& values) {
    std::lock_guard<std::mutex> g(m);
    merged++;
    for (size_t i = 0; i < keys.size() && i < values.size(); i++) {
        std::string k = lowered(keys[i]);
        auto at = index.find(k);
        if (at == index.end()) {
            index[k] = entries.size();
            entries.push_back({keys[i], values[i], merged});
        } else {
            entries[at->second] = {keys[i], values[i], merged};
        }
    }
    due.notify_all();
    return merged;
}

void ProfileStore::rewrite(const std::vector<std::pair<std::string, std::string>>& values) {
    std::lock_guard<std::mutex> g(m);
    over.clear();
    for (const auto& kv : values) over[lowered(kv.first)] = kv.second;
    rewriting = true;
    rewritegen = ++merged;
    due.notify_all();
}

bool ProfileStore::lookup(const std::string& key, std::string* value, bool* fromfile) {
    std::lock_guard<std::mutex> g(m);
    std::string k = lowered(key);
    *fromfile = !rewriting;
    auto at = index.find(k);
    if (at != index.end()) {
        *value = entries[at->second].value;
        return true;
    }
    auto o = over.find(k);
    if (!rewriting || o == over.end()) return false;
    *value = o->second;
    return true;
}

void ProfileStore::take(ProfileSnapshot* s, int retryms) {
    std::unique_lock<std::mutex> g(m);
    auto ready = [&] { return pending() && (merged > tried || retrying); };
    if (retryms > 0)
        due.wait_for(g, std::chrono::milliseconds(retryms), ready);
    else
        due.wait(g, ready);
    if (!pending()) due.wait(g, ready);  // dropped meanwhile: wait for the next change
    retrying = false;
    busy = true;
    s->keys.clear();
    s->values.clear();
    for (const Entry& e : entries) {
        s->keys.push_back(e.key);
        s->values.push_back(e.value);
    }
    s->gen = merged;
    s->epoch = epoch;
}

void ProfileStore::finish(const ProfileSnapshot& s, SaveOutcome outcome) {
    std::lock_guard<std::mutex> g(m);
    busy = false;
    idle.notify_all();
    if (s.epoch != epoch) return;  // for a file that is no longer the profile
    tried = s.gen;
    last = outcome;
    if (outcome == savelanded) {
        // Entries changed after the snapshot stay for the next write.
        std::vector<Entry> later;
        index.clear();
        for (Entry& e : entries)
            if (e.gen > s.gen) {
                index[lowered(e.key)] = later.size();
                later.push_back(std::move(e));
            }
        entries.swap(later);
        landed = s.gen;
        if (rewritegen <= s.gen) {
            rewriting = false;
            over.clear();
        }
    }
    done.notify_all();
}

SaveOutcome ProfileStore::wait(unsigned long long gen, int ms) {
    std::unique_lock<std::mutex> g(m);
    unsigned e = epoch;
    done.wait_for(g, std::chrono::milliseconds(ms), [&] { return tried >= gen || epoch != e; });
    if (landed >= gen || epoch != e) return savelanded;
    return tried >= gen ? last : saveheld;
}

SaveOutcome ProfileStore::settle(int ms) {
    std::unique_lock<std::mutex> g(m);
    auto over_ = [&] { return !pending() || (last == saverefused && tried >= merged && !retrying); };
    done.wait_for(g, std::chrono::milliseconds(ms), over_);
    if (!pending()) return savelanded;
    return over_() ? saverefused : saveheld;
}

void ProfileStore::retry() {
    std::lock_guard<std::mutex> g(m);
    retrying = true;
    due.notify_all();
}

void ProfileStore::discard() {
    std::lock_guard<std::mutex> g(m);
    clear();
    done.notify_all();
}

void ProfileStore::clear() {
    entries.clear();
    index.clear();
    over.clear();
    rewriting = false;
    retrying = false;
    last = savelanded;
    tried = landed = merged;
}
