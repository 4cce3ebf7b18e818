#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/value.h"

namespace marrowick {

// The two-layer key-value store: registered defaults in memory, under persisted values that win
// over them. Reads never touch the disk. With a file, every change is written back (atomically)
// either at once or, when a deferral is installed, soon after; and always when the store goes.
// Setting a value the store already holds is no change. The file is shared with other programs
// (an editor, a second instance): a write merges what this store changed since it last read or
// wrote the file into the file as it is then, and reload takes in what others wrote.
class Defaults {
public:
    // A file nested deeper, or larger, is not a settings file: reading and rewriting it must stay
    // quick and small.
    static constexpr int maxDepth = 64;
    static constexpr std::size_t maxFileSize = std::size_t{1} << 20;

    // In memory only.
    Defaults() = default;
    // Persisted in a JSON file, written through a link to its target. A file that cannot be
    // parsed is moved aside under a name of its own; one that exists but cannot be read is left
    // alone and never written for the life of the store. Temporary files that writers killed
    // mid-write left beside it are removed.
    explicit Defaults(std::filesystem::path file);
    ~Defaults();
    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;

    void registerDefaults(const Value::Dict& values);

    // The persisted value, else the registered one, else none. The pointer stays valid until the
    // next change of the store.
    [[nodiscard]] const Value* object(std::string_view key) const;
    [[nodiscard]] bool has(std::string_view key) const { return object(key) != nullptr; }

    // Typed reads with the user-defaults coercions: numbers, Booleans and numeric texts convert;
    // anything else reads as 0 / false / none.
    [[nodiscard]] std::int64_t integer(std::string_view key) const;
    [[nodiscard]] bool boolean(std::string_view key) const;
    [[nodiscard]] double real(std::string_view key) const;
    [[nodiscard]] const Value::List* array(std::string_view key) const;
    [[nodiscard]] const Value::Dict* dictionary(std::string_view key) const;

    void set(std::string_view key, Value value);
    void remove(std::string_view key);

    // Installs how a pending write is put off: the store calls it with the write to run later,
    // once per batch of changes.
    void deferWritesWith(std::function<void(std::function<void()>)> defer);
    // Writes pending changes now, nothing when there are none. Answers false when the file
    // could not be written.
    bool flush();
    // Reads the file again after someone may have changed it: their values are taken in, except
    // where this store has changes of its own not yet written. A file that is not valid is kept
    // aside as at start, and the values held are kept and written back. Answers whether any
    // value read changed.
    bool reload();

    [[nodiscard]] const std::optional<std::filesystem::path>& file() const { return file_; }
    // What went wrong reading the file, as logged then; the launch logs it again once it has
    // cleared the previous run's log.
    [[nodiscard]] const std::optional<std::string>& loadProblem() const { return loadProblem_; }

    // The user-defaults coercions, shared with every reader of a Value.
    static std::int64_t integerOf(const Value& v);
    static bool boolOf(const Value& v);
    static double realOf(const Value& v);

private:
    void changed();
    void load();
    // Moves an unusable file aside (or gives up on the file when it cannot) and logs it, saying
    // what the store does instead (going); answers what it logged.
    std::string setAside(std::string_view going);

    Value::Dict registered_;
    Value::Dict persisted_;
    // The file's values as this store last read or wrote them: what a merge compares against to
    // tell its own changes from other writers'.
    Value::Dict base_;
    std::optional<std::filesystem::path> file_;
    std::function<void(std::function<void()>)> defer_;
    std::optional<std::string> loadProblem_;
    bool dirty_ = false;
    bool writePending_ = false;
};

}  // namespace marrowick
