// What the profile is to hold and does not yet: the keys of the changes made, each with
// its latest value, until a write that held them has landed. Memory is the truth until
// then: reads see these values. Window-free; one writer takes from it.
#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

enum SaveOutcome { savelanded, saveheld, saverefused };

// What one write is to set: every change merged up to `gen`.
struct ProfileSnapshot {
    std::vector<std::string> keys, values;
    unsigned long long gen = 0;
    unsigned epoch = 0;
};

class ProfileStore {
public:
    // The keys of one change, merged as a whole; its generation.
    unsigned long long merge(const std::vector<std::string>& keys, const std::vector<std::string>& values);
    // The file is to be written once even without a changed key (a byte-order mark to
    // drop); until then reads get `values` (the section as the program means it) and
    // nothing from the file.
    void rewrite(const std::vector<std::pair<std::string, std::string>>& values);
    // A pending value of `key` (any case), or the rewrite's; false when the file answers.
    // *fromfile is false while a rewrite is pending: the file's own answer would be wrong.
    bool lookup(const std::string& key, std::string* value, bool* fromfile);

    // The writer: waits until a write is due (a change newer than the last attempt, a
    // retry asked for, or `retryms` after a held attempt, 0 for none) and takes it.
    void take(ProfileSnapshot* s, int retryms);
    void finish(const ProfileSnapshot& s, SaveOutcome outcome);

    // Waits at most `ms` for the attempt that covers change `gen`: landed, held (also
    // when the time ran out first) or refused.
    SaveOutcome wait(unsigned long long gen, int ms);
    // Waits at most `ms` until nothing is pending: landed; refused as soon as the last
    // attempt was refused and none is due; held when the time ran out.
    SaveOutcome settle(int ms);
    void retry();    // an attempt now, whatever the last one met
    void discard();  // every pending change dropped (the user chose to close without them)
    // Empty, for a new file: waits for an attempt in flight, then runs `setpaths` while no
    // attempt can start.
    template <class F> void reset(F setpaths) {
        std::unique_lock<std::mutex> g(m);
        idle.wait(g, [&] { return !busy; });
        setpaths();
        clear();
        epoch++;
    }

private:
    struct Entry {
        std::string key, value;
        unsigned long long gen;
    };
    std::mutex m;
    std::condition_variable due, done, idle;
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> index;  // lowered key -> entry
    std::unordered_map<std::string, std::string> over;  // the rewrite's values, lowered keys
    unsigned long long merged = 0, tried = 0, landed = 0, rewritegen = 0;
    bool rewriting = false, retrying = false, busy = false;
    SaveOutcome last = savelanded;
    unsigned epoch = 0;
    bool pending() const { return !entries.empty() || rewriting; }
    void clear();
};
