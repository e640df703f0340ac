#include "velcomp/NumberIndex.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

#include "contract/PackageFiles.h"
#include "names/AssetName.h"
#include "velcomp/ConfigFile.h"
#include "velcomp/Kuid.h"

namespace fs = std::filesystem;

namespace velcomp {

// A 64-bit hash of eight bytes at a time: enough to tell a torn or damaged file from a
// whole one, and quick over the megabytes of a large tree's index.
std::uint64_t IndexChecksum(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ bytes.size();
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    std::uint64_t last = 0;
    std::memcpy(&last, bytes.data() + at, bytes.size() - at);
    mix(last);
    return hash;
}

namespace {

using Name = fs::path::string_type;

// Deeper folders are not followed: no real tree comes near, and the walk's stack stays small.
constexpr int kDeepest = 512;

// How close to its last write a folder may be looked at before a change in the same tick of
// a coarse clock (FAT's two seconds at worst) could hide behind the time.
std::int64_t RacyWindow() {
    return 2 * kFileTimePerSecond;
}

bool ByName(const IndexedFolder& a, const IndexedFolder& b) {
    return a.name < b.name;
}

// The child of exactly that name.
IndexedFolder* Child(IndexedFolder& folder, const Name& name) {
    auto& children = folder.children;
    IndexedFolder key;
    key.name = name;
    const auto at = std::lower_bound(children.begin(), children.end(), key, ByName);
    return at != children.end() && at->name == name ? &*at : nullptr;
}

// The name under which the file system keeps the entry at `path`, which may differ in case
// from the name the author typed.
bool StoredAs(const fs::path& path, Name& name) {
    fs::path stored;
    if (StoredName(path, stored)) {
        return false;
    }
    name = stored.native();
    return true;
}

// Reads the kuid lines of an asset's config.txt: those of the key kuid in any case, a value
// that the config.txt rules would refuse read up to its first blank.
void ReadKuids(std::string_view text, IndexedFolder& asset) {
    asset.kuids.clear();
    ConfigFile::VisitEntries(text, [&asset](std::string_view key, std::string_view value) {
        if (!names::SameIgnoringAsciiCase(key, "kuid")) {
            return;
        }
        const std::optional<Kuid> kuid = ReadKuid(value.substr(0, value.find_first_of(" \t")));
        if (kuid && kuid->number) {
            asset.kuids.emplace_back(kuid->creator, *kuid->number);
        }
    });
}

// The tree's folder, missing when the index was brought up to date and there now: it holds
// nothing but what a write-out records only where that write-out made it.
bool MadeTree(NumberIndex& index, const fs::path& tree, bool made) {
    EntryKind kind = EntryKind::kMissing;
    if (!made || LookAtTree(tree, kind, index.origin) || kind != EntryKind::kFolder) {
        return false;
    }
    index.origin.keepsFolderTimes = KeepsFolderTimes(tree);
    index.present = true;
    index.root = {};
    return true;
}

// The record of the asset that a write-out has just put at `at`.
bool WrittenAsset(const fs::path& at, std::int32_t creator, std::int32_t number,
                  IndexedFolder& asset) {
    EntryInfo config;
    EntryInfo info;
    EntryKind kind = EntryKind::kMissing;
    if (!StoredAs(at, asset.name) || Identify(at, info) || FolderWritten(at, kind, asset.written) ||
        Inspect(at / contract::kConfigFileName, config) || config.kind != EntryKind::kFile) {
        return false;
    }
    asset.id = info.stamp.id;
    asset.asset = true;
    asset.config = {config.stamp.size, config.stamp.modified};
    asset.kuids = {{creator, number}};
    return true;
}

// Little-endian numbers and counted names, as the index file holds them.
class Writer {
public:
    void Number(std::uint64_t value, int bytes = 8) {
        char buffer[8];
        for (int i = 0; i < bytes; ++i) {
            buffer[i] = static_cast<char>(value >> (8 * i) & 0xFF);
        }
        out_.append(buffer, static_cast<std::size_t>(bytes));
    }
    void Text(const Name& name) {
        Number(name.size(), 4);
        for (const auto unit : name) {
            Number(static_cast<std::make_unsigned_t<Name::value_type>>(unit), sizeof unit);
        }
    }
    void Header(const IndexedFolder& folder) {
        Text(folder.name);
        Number(folder.id);
        Number(static_cast<std::uint64_t>(folder.written));
        Number((folder.asset ? 1 : 0) | (folder.racy ? 2 : 0) | (folder.marked ? 4 : 0), 1);
    }
    void Asset(const IndexedFolder& asset) {
        Header(asset);
        Number(asset.config.size);
        Number(static_cast<std::uint64_t>(asset.config.modified));
        Number(asset.kuids.size(), 4);
        for (const auto& [creator, number] : asset.kuids) {
            Number(static_cast<std::uint64_t>(creator));
            Number(static_cast<std::uint64_t>(number));
        }
    }
    // A folder: the folders it holds, then its assets, those still packed as they were read
    // first, as one run of bytes that a reader can pass over whole.
    void Folder(const IndexedFolder& folder) {
        if (folder.asset) {
            Asset(folder);
            return;
        }
        Header(folder);
        const auto isFolder = [](const IndexedFolder& child) { return !child.asset; };
        Number(std::count_if(folder.children.begin(), folder.children.end(), isFolder), 4);
        for (const IndexedFolder& child : folder.children) {
            if (isFolder(child)) {
                Folder(child);
            }
        }
        Writer assets;
        assets.bytes() = folder.packed;
        for (const IndexedFolder& child : folder.children) {
            if (!isFolder(child)) {
                assets.Asset(child);
            }
        }
        Number(folder.packedCount + folder.children.size() -
                   std::count_if(folder.children.begin(), folder.children.end(), isFolder),
               4);
        Number(assets.bytes().size());
        out_ += assets.bytes();
    }
    std::string& bytes() { return out_; }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : in_(bytes) {}

    bool Number(std::uint64_t& value, int bytes = 8) {
        if (in_.size() < static_cast<std::size_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(in_[i]);
        }
        in_.remove_prefix(bytes);
        return true;
    }
    bool Signed(std::int64_t& value) {
        std::uint64_t raw = 0;
        const bool read = Number(raw);
        value = static_cast<std::int64_t>(raw);
        return read;
    }
    // A count of items of at least `least` bytes each, which the rest of the input can hold.
    bool Count(std::size_t& count, std::size_t least) {
        std::uint64_t value = 0;
        if (!Number(value, 4) || value > in_.size() / least) {
            return false;
        }
        count = static_cast<std::size_t>(value);
        return true;
    }
    bool Text(Name& name) {
        constexpr std::size_t kUnit = sizeof(Name::value_type);
        std::size_t size = 0;
        if (!Count(size, kUnit)) {
            return false;
        }
        name.resize(size);
        for (std::size_t i = 0; i < size; ++i) {
            std::uint64_t unit = 0;
            for (std::size_t byte = kUnit; byte-- > 0;) {
                unit = unit << 8 | static_cast<unsigned char>(in_[i * kUnit + byte]);
            }
            name[i] = static_cast<Name::value_type>(unit);
        }
        in_.remove_prefix(size * kUnit);
        return true;
    }
    bool Header(IndexedFolder& folder) {
        std::uint64_t flags = 0;
        if (!Text(folder.name) || !Number(folder.id) || !Signed(folder.written) ||
            !Number(flags, 1) || flags > 7) {
            return false;
        }
        folder.asset = (flags & 1) != 0;
        folder.racy = (flags & 2) != 0;
        folder.marked = (flags & 4) != 0;
        return true;
    }
    bool Asset(IndexedFolder& asset) { return Header(asset) && asset.asset && AssetFacts(asset); }
    // What follows an asset's header.
    bool AssetFacts(IndexedFolder& asset) {
        std::uint64_t size = 0;
        std::size_t count = 0;
        if (!Number(size) || !Signed(asset.config.modified) || !Count(count, 16)) {
            return false;
        }
        asset.config.size = size;
        asset.kuids.resize(count);
        for (auto& [creator, number] : asset.kuids) {
            Signed(creator);
            Signed(number);
        }
        return true;
    }
    // Passes over one asset's record, giving its name's bytes, its flags and its kuids.
    bool SkimAsset(std::string_view& name, std::uint64_t& flags, std::string_view& kuids) {
        std::size_t size = 0;
        std::uint64_t ignored = 0;
        std::size_t count = 0;
        return Count(size, sizeof(Name::value_type)) &&
               Take(size * sizeof(Name::value_type), name) && Number(ignored) && Number(ignored) &&
               Number(flags, 1) && flags <= 7 && (flags & 1) != 0 && Number(ignored) &&
               Number(ignored) && Count(count, 16) && Take(count * 16, kuids);
    }
    bool Folder(IndexedFolder& folder, int depth) {
        if (depth > kDeepest || !Header(folder)) {
            return false;
        }
        if (folder.asset) {
            return AssetFacts(folder);  // as an addition holds one
        }
        std::size_t count = 0;
        if (!Count(count, 33)) {  // the least a folder takes: an empty name, nothing in it
            return false;
        }
        folder.children.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!Folder(folder.children[i], depth + 1) || folder.children[i].asset ||
                (i > 0 && !ByName(folder.children[i - 1], folder.children[i]))) {
                return false;
            }
        }
        return Packed(folder);
    }
    // A folder's assets, kept packed as they are: each is passed over once, to know that the
    // run holds them whole and whether one is racy.
    bool Packed(IndexedFolder& folder) {
        std::uint64_t bytes = 0;
        std::string_view assets;
        if (!Count(folder.packedCount, 41) || !Number(bytes) || bytes > in_.size() ||
            !Take(static_cast<std::size_t>(bytes), assets)) {
            return false;
        }
        Reader records(assets);
        for (std::size_t i = 0; i < folder.packedCount; ++i) {
            std::string_view name;
            std::uint64_t flags = 0;
            std::string_view kuids;
            if (!records.SkimAsset(name, flags, kuids)) {
                return false;
            }
            folder.packedRacy = folder.packedRacy || (flags & 2) != 0;
        }
        folder.packed = std::string(assets);
        return records.AtEnd();
    }
    bool AtEnd() const { return in_.empty(); }
    // Takes `size` bytes from the front.
    bool Take(std::size_t size, std::string_view& taken) {
        if (in_.size() < size) {
            return false;
        }
        taken = in_.substr(0, size);
        in_.remove_prefix(size);
        return true;
    }

private:
    std::string_view in_;
};

// Sorts records by name that come in a few sorted runs (those stored whole, then those added
// since) by merging the runs, as many records would cost a sort.
void SortByName(std::vector<IndexedFolder>& records) {
    constexpr int kMostRuns = 8;
    auto sorted = std::is_sorted_until(records.begin(), records.end(), ByName);
    for (int runs = 1; sorted != records.end(); ++runs) {
        if (runs == kMostRuns) {
            std::sort(records.begin(), records.end(), ByName);
            return;
        }
        const auto end = std::is_sorted_until(sorted, records.end(), ByName);
        std::inplace_merge(records.begin(), sorted, end, ByName);
        sorted = end;
    }
}

// The records of the assets that `folder` holds as read, made records of their own.
void Unpack(IndexedFolder& folder) {
    if (folder.packedCount == 0) {
        return;
    }
    std::vector<IndexedFolder> records;
    records.reserve(folder.packedCount + folder.children.size());
    Reader packed(folder.packed);
    for (std::size_t i = 0; i < folder.packedCount; ++i) {
        IndexedFolder asset;
        packed.Asset(asset);  // whole: the read of the index looked at every one
        records.push_back(std::move(asset));
    }
    std::move(folder.children.begin(), folder.children.end(), std::back_inserter(records));
    SortByName(records);
    folder.children = std::move(records);
    folder.packed.clear();
    folder.packedCount = 0;
    folder.packedRacy = false;
}

// Calls `visit` with the name's bytes and the kuids' bytes of each asset that `folder` holds
// as read, until it says to stop.
template <class Visit>
void SkimPacked(const IndexedFolder& folder, const Visit& visit) {
    Reader records(folder.packed);
    for (std::size_t i = 0; i < folder.packedCount; ++i) {
        std::string_view name;
        std::uint64_t flags = 0;
        std::string_view kuids;
        records.SkimAsset(name, flags, kuids);  // whole: the read of the index looked at each
        if (!visit(name, kuids)) {
            return;
        }
    }
}

// Whether an asset that `folder` holds as read is named `name`.
bool PackedHolds(const IndexedFolder& folder, const Name& name) {
    Writer encoded;
    encoded.Text(name);
    const std::string_view wanted = std::string_view(encoded.bytes()).substr(4);
    bool found = false;
    SkimPacked(folder, [&](std::string_view packed, std::string_view) {
        found = packed == wanted;
        return !found;
    });
    return found;
}

// Puts `child` among the children of `folder` in its place by name, replacing one of its name.
IndexedFolder& Place(IndexedFolder& folder, IndexedFolder child) {
    if (PackedHolds(folder, child.name)) {
        Unpack(folder);
    }
    if (IndexedFolder* known = Child(folder, child.name)) {
        *known = std::move(child);
        return *known;
    }
    auto& children = folder.children;
    return *children.insert(std::upper_bound(children.begin(), children.end(), child, ByName),
                            std::move(child));
}

std::string Addition(std::int64_t saved, const std::vector<IndexedFolder*>& chain,
                     const IndexedFolder* asset);

// One bringing up to date of an index: what it costs, and whether folder times are trusted.
class Walk {
public:
    Walk(const fs::path& tree, bool trustTimes) : tree_(tree), trustTimes_(trustTimes) {}

    // A folder the index knows, whose last write is now `written`: listed again only when
    // that has changed, else followed into the folders it holds.
    void Check(IndexedFolder& folder, const fs::path& path, std::int64_t written, int depth) {
        if (!trustTimes_ || folder.racy || written != folder.written) {
            Relist(folder, path, written, depth);
            return;
        }
        if (folder.packedRacy) {
            Unpack(folder);
        }
        for (IndexedFolder& child : folder.children) {
            if (child.asset && !child.racy) {
                continue;  // only its folder's listing would show a change
            }
            const fs::path at = path / child.name;
            if (child.asset) {
                Reexamine(child, at, child.written, depth + 1);
                continue;
            }
            EntryKind kind = EntryKind::kMissing;
            std::int64_t now = 0;
            if (FolderWritten(at, kind, now) || kind != EntryKind::kFolder) {
                folder.racy = true;  // gone, though its parent did not change: list it next time
                folders_.push_back(path);
                continue;
            }
            Check(child, at, now, depth + 1);
        }
    }

    // Lists `folder` again: what it holds that is unchanged stays as the index knew it.
    void Relist(IndexedFolder& folder, const fs::path& path, std::int64_t written, int depth) {
        const std::int64_t listedAt = FileTimeNow();
        std::vector<FolderEntry> entries;
        ++cost_.listed;
        folders_.push_back(path);
        Unpack(folder);
        if (depth > kDeepest || ListFolder(path, entries)) {
            folder.racy = true;  // what it held stays known, and it is listed again next time
            return;
        }
        for (const FolderEntry& entry : entries) {
            if (depth > 0 && entry.info.kind == EntryKind::kFile && IsConfigFileName(entry.name)) {
                ReadAsset(folder, path / entry.name, entry.info);  // config.txt in another case
                folder.written = written;
                whole_ = true;
                return;
            }
        }
        folder.children = FollowAll(std::move(folder.children), entries, path, depth);
        folder.marked = folder.marked && written == folder.written;
        folder.racy = !folder.marked && written > listedAt - RacyWindow();
        folder.written = written;
    }

    const RefreshCost& cost() const { return cost_; }

    // Tells what the walk changed in `index`, as additions where it can; `saved`: the clock
    // when the walk began.
    void Tell(NumberIndex& index, std::int64_t saved, IndexChanges& changes) const {
        changes.whole = whole_ || folders_.size() + assets_.size() > kMostAdditions;
        for (const fs::path& folder : folders_) {
            changes.whole = changes.whole || !TellOne(index, folder, false, saved, changes);
        }
        for (const fs::path& asset : assets_) {
            changes.whole = changes.whole || !TellOne(index, asset, true, saved, changes);
        }
        if (changes.whole) {
            changes.additions.clear();
            changes.count = 0;
        }
    }

private:
    // What the index knew a folder to hold, sorted by name, for a listing in name order to
    // take from: where it has come to, and how many it took.
    struct Known {
        std::vector<IndexedFolder> folders;
        std::size_t next;
        std::size_t taken;
    };

    // Adds the addition of the folder, or the asset, at `path`; false where the walk did not
    // leave it so (which cannot be), for the index to be stored whole, to be safe.
    bool TellOne(NumberIndex& index, const fs::path& path, bool asset, std::int64_t saved,
                 IndexChanges& changes) const {
        std::vector<IndexedFolder*> chain{&index.root};
        for (const fs::path& part : path.lexically_relative(tree_)) {
            IndexedFolder* next = part == "." ? chain.back() : Child(*chain.back(), part.native());
            if (next == nullptr) {
                return false;
            }
            if (next != chain.back()) {
                chain.push_back(next);
            }
        }
        const IndexedFolder* record = asset && chain.size() > 1 ? chain.back() : nullptr;
        if (record != nullptr) {
            chain.pop_back();
        }
        const auto isAsset = [](const IndexedFolder* folder) { return folder->asset; };
        if ((record == nullptr) == asset || (record != nullptr && !record->asset) ||
            std::any_of(chain.begin(), chain.end(), isAsset)) {
            return false;
        }
        changes.additions += Addition(saved, chain, record);
        ++changes.count;
        return true;
    }

    // The record of `name` that the index knew, if any.
    static IndexedFolder* Take(Known& known, const Name& name) {
        auto& folders = known.folders;
        while (known.next < folders.size() && folders[known.next].name < name) {
            ++known.next;
        }
        if (known.next < folders.size() && folders[known.next].name == name) {
            return &folders[known.next++];
        }
        return nullptr;
    }

    // A folder that a listing found: the index's own record of it where the folder is the
    // same one, looked at again where it has changed; else a new record.
    // The folders among `entries` of the folder at `path`, each followed, in name order, as
    // the index keeps them: each is found in one pass over what the index knew it to hold.
    std::vector<IndexedFolder> FollowAll(std::vector<IndexedFolder> knew,
                                         const std::vector<FolderEntry>& entries,
                                         const fs::path& path, int depth) {
        std::vector<const FolderEntry*> folders;
        for (const FolderEntry& entry : entries) {
            if (entry.info.kind == EntryKind::kFolder) {
                folders.push_back(&entry);
            }
        }
        std::sort(folders.begin(), folders.end(), [](const FolderEntry* a, const FolderEntry* b) {
            return a->name.native() < b->name.native();
        });
        Known known{std::move(knew), 0, 0};
        std::vector<IndexedFolder> children;
        children.reserve(folders.size());
        for (const FolderEntry* entry : folders) {
            children.push_back(Follow(known, *entry, path, depth + 1));
        }
        whole_ = whole_ || known.taken != known.folders.size();  // something of it is gone
        return children;
    }

    // `parent`: the folder listed. An unchanged asset costs no path of its own.
    IndexedFolder Follow(Known& known, const FolderEntry& entry, const fs::path& parent,
                         int depth) {
        IndexedFolder* record = Take(known, entry.name.native());
        if (record == nullptr || record->id != entry.info.stamp.id) {
            IndexedFolder found;
            found.name = entry.name.native();
            found.id = entry.info.stamp.id;
            Examine(found, parent / entry.name, entry.written, depth);
            return found;
        }
        ++known.taken;
        IndexedFolder folder = std::move(*record);
        if (!folder.asset) {
            Check(folder, parent / entry.name, entry.written, depth);
        } else if (folder.racy || folder.written != entry.written || !trustTimes_) {
            Reexamine(folder, parent / entry.name, entry.written, depth);
        }
        return folder;
    }

    // What a folder new to the index is: an asset when it holds config.txt, else a folder to
    // list for what it holds.
    void Examine(IndexedFolder& folder, const fs::path& path, std::int64_t written, int depth) {
        EntryInfo config;
        if (!Inspect(path / contract::kConfigFileName, config) && config.kind == EntryKind::kFile) {
            ReadAsset(folder, path / contract::kConfigFileName, config);
            folder.written = written;
            assets_.push_back(path);
            return;
        }
        whole_ = true;  // a new folder on the way, or one that replaced another
        Relist(folder, path, written, depth);
    }

    // An asset folder whose entries may have changed: its config.txt read again only when
    // its size or last write differ; without one it is a folder like any other.
    void Reexamine(IndexedFolder& asset, const fs::path& path, std::int64_t written, int depth) {
        EntryInfo config;
        const fs::path file = path / contract::kConfigFileName;
        if (Inspect(file, config) || config.kind != EntryKind::kFile) {
            IndexedFolder folder;
            folder.name = std::move(asset.name);
            folder.id = asset.id;
            asset = std::move(folder);
            whole_ = true;  // an asset no longer
            Relist(asset, path, written, depth);
            return;
        }
        if (asset.racy || config.stamp.size != asset.config.size ||
            config.stamp.modified != asset.config.modified) {
            ReadAsset(asset, file, config);
        }
        asset.written = written;
        assets_.push_back(path);
    }

    void ReadAsset(IndexedFolder& asset, const fs::path& file, const EntryInfo& info) {
        const std::int64_t readAt = FileTimeNow();
        std::string text;
        ++cost_.read;
        asset.asset = true;
        asset.children.clear();
        asset.packed.clear();
        asset.packedCount = 0;
        asset.packedRacy = false;
        asset.config = {info.stamp.size, info.stamp.modified};
        // One that cannot be read now (an editor holding it, say) is tried again next time.
        asset.racy = ReadSmallFile(file, kMaxConfigSize, text) ||
                     info.stamp.modified > readAt - RacyWindow();
        ReadKuids(text, asset);
    }

    const fs::path& tree_;
    bool trustTimes_;
    RefreshCost cost_;
    // What changed: the folders listed again or to be, and the assets looked at again;
    // `whole_` where more than that changed.
    std::vector<fs::path> folders_;
    std::vector<fs::path> assets_;
    bool whole_ = false;
};

// The record of the folder `name` in `folder` on the way to a write-out's asset, made where
// the write-out made the folder; none for an asset's folder, or for a folder that someone
// else made since the index was brought up to date (whose parent is then listed next time).
IndexedFolder* Way(IndexedFolder& folder, const fs::path& at, bool made) {
    IndexedFolder found;
    EntryInfo info;
    EntryKind kind = EntryKind::kMissing;
    if (!StoredAs(at, found.name)) {
        return nullptr;
    }
    if (IndexedFolder* known = Child(folder, found.name)) {
        return known->asset ? nullptr : known;
    }
    if (PackedHolds(folder, found.name)) {
        return nullptr;  // an asset's folder
    }
    if (!made || Identify(at, info) || FolderWritten(at, kind, found.written)) {
        folder.racy = true;
        return nullptr;
    }
    found.id = info.stamp.id;
    return &Place(folder, std::move(found));
}

// Brings a folder's record up to date after a write-out's own change to it. Its last write is
// set a tick back, to a time that no later change can give it: a change by someone else in the
// same tick of a coarse clock still shows. A folder that was racy before stays so, for what
// may hide behind its time from before the write-out.
void Rewritten(IndexedFolder& folder, const fs::path& path) {
    EntryKind kind = EntryKind::kMissing;
    std::int64_t written = 0;
    if (FolderWritten(path, kind, written) || kind != EntryKind::kFolder ||
        SetWritten(path, written - 1)) {
        folder.racy = true;
        return;
    }
    folder.written = written - 1;
    folder.marked = true;
}

constexpr char kMagic[] = "velcomp numbers\n";
constexpr std::uint64_t kVersion = 2;

// Calls `use` with every number that an asset of `creator` carries below `folder`.
template <class Use>
void VisitNumber(std::int64_t owner, std::int64_t number, std::int32_t creator, const Use& use) {
    if (owner == creator && number >= 0 && number <= INT32_MAX) {
        use(static_cast<std::int32_t>(number));
    }
}

template <class Use>
void VisitNumbers(const IndexedFolder& folder, std::int32_t creator, const Use& use) {
    for (const auto& [owner, number] : folder.kuids) {
        VisitNumber(owner, number, creator, use);
    }
    for (const IndexedFolder& child : folder.children) {
        VisitNumbers(child, creator, use);
    }
    SkimPacked(folder, [&](std::string_view, std::string_view kuids) {
        for (Reader pairs(kuids); !pairs.AtEnd();) {
            std::int64_t owner = 0;
            std::int64_t number = 0;
            pairs.Signed(owner);
            pairs.Signed(number);
            VisitNumber(owner, number, creator, use);
        }
        return true;
    });
}

// What a write-out, or a bringing up to date, changed, to follow the stored index: the time it
// was brought up to date, the folders on the way to a folder as they are now, and an asset in
// that folder if one changed. Length first and checksum last, so that one cut short by a kill
// is known and passed over (the folder then only looks changed).
std::string Addition(std::int64_t saved, const std::vector<IndexedFolder*>& chain,
                     const IndexedFolder* asset) {
    Writer payload;
    payload.Number(static_cast<std::uint64_t>(saved));
    payload.Number(chain.size(), 4);
    for (const IndexedFolder* folder : chain) {
        payload.Header(*folder);
    }
    payload.Number(asset != nullptr ? 1 : 0, 1);
    if (asset != nullptr) {
        payload.Folder(*asset);
    }
    Writer record;
    record.Number(payload.bytes().size());
    record.bytes() += payload.bytes();
    record.Number(IndexChecksum(payload.bytes()));
    return std::move(record.bytes());
}

// Takes one record from `reader`: its length, the record, and its checksum.
bool TakeRecord(Reader& reader, std::string_view& payload) {
    std::uint64_t size = 0;
    std::uint64_t sum = 0;
    return reader.Number(size) && size <= SIZE_MAX && reader.Take(size, payload) &&
           reader.Number(sum) && IndexChecksum(payload) == sum;
}

// An addition as read, whole, before any of it is applied.
struct Told {
    std::int64_t saved = 0;
    std::vector<IndexedFolder> way;  // the root's header first
    bool hasAsset = false;
    IndexedFolder asset;
};

bool ReadTold(std::string_view payload, Told& told) {
    Reader in(payload);
    std::size_t count = 0;
    if (!in.Signed(told.saved) || !in.Count(count, 21) || count == 0) {
        return false;
    }
    told.way.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        IndexedFolder& header = told.way[i];
        if (!in.Header(header) || header.asset || (i == 0 && !header.name.empty())) {
            return false;
        }
    }
    std::uint64_t hasAsset = 0;
    if (!in.Number(hasAsset, 1) || hasAsset > 1) {
        return false;
    }
    told.hasAsset = hasAsset == 1;
    return (!told.hasAsset || (in.Folder(told.asset, 0) && told.asset.asset)) && in.AtEnd();
}

// The folder `name` in `folder` that an addition's way goes through, made where the
// write-out made it; none where the index it follows holds an asset of that name.
IndexedFolder* Through(IndexedFolder& folder, const Name& name) {
    IndexedFolder* known = Child(folder, name);
    if (known == nullptr && !PackedHolds(folder, name)) {
        IndexedFolder made;
        made.name = name;
        known = &Place(folder, std::move(made));
    }
    return known == nullptr || known->asset ? nullptr : known;
}

// Applies one addition; false for one that is damaged or cut short.
bool ApplyAddition(Reader& reader, NumberIndex& index) {
    std::string_view payload;
    Told told;
    if (!TakeRecord(reader, payload) || !ReadTold(payload, told)) {
        return false;
    }
    IndexedFolder* folder = &index.root;
    for (std::size_t i = 0; i < told.way.size(); ++i) {
        const IndexedFolder& header = told.way[i];
        if (i > 0 && (folder = Through(*folder, header.name)) == nullptr) {
            return false;
        }
        folder->id = i > 0 ? header.id : folder->id;
        folder->written = header.written;
        folder->racy = header.racy;
        folder->marked = header.marked;
    }
    if (told.hasAsset) {
        Place(*folder, std::move(told.asset));
    }
    index.saved = std::max(index.saved, told.saved);
    return true;
}

// The index that FormatIndex wrote, checked as it is read.
bool ReadBody(std::string_view body, NumberIndex& index) {
    Reader reader(body);
    std::uint64_t version = 0;
    std::uint64_t unit = 0;
    std::uint64_t present = 0;
    std::uint64_t keepsTimes = 0;
    index = NumberIndex{};
    if (!reader.Number(version, 4) || version != kVersion || !reader.Number(unit, 1) ||
        unit != sizeof(Name::value_type) || !reader.Text(index.tree) ||
        !reader.Number(present, 1) || present > 1 || !reader.Number(index.origin.volume) ||
        !reader.Number(index.origin.id) || !reader.Number(keepsTimes, 1) || keepsTimes > 1 ||
        !reader.Signed(index.saved) || !reader.Folder(index.root, 0) || !reader.AtEnd()) {
        return false;
    }
    index.present = present == 1;
    index.origin.keepsFolderTimes = keepsTimes == 1;
    return true;
}

// Makes `index` a new one, to be walked whole, where it is of another tree or of one that has
// moved; true then.
bool Afresh(NumberIndex& index, const fs::path& tree, const TreeOrigin& origin) {
    if (index.present && index.tree == tree.native() && index.origin == origin) {
        return false;
    }
    index = NumberIndex{};
    index.tree = tree.native();
    index.present = true;
    index.origin = origin;
    index.root.racy = true;
    return true;
}

}  // namespace

RefreshCost Refresh(NumberIndex& index, const fs::path& tree, IndexChanges* changes) {
    EntryKind kind = EntryKind::kMissing;
    TreeOrigin origin;
    std::int64_t written = 0;
    const std::int64_t now = FileTimeNow();
    const std::error_code looked = LookAtTree(tree, kind, origin);
    if (!looked && kind != EntryKind::kFolder) {
        index = NumberIndex{};  // no tree, no numbers in it
        index.tree = tree.native();
        index.saved = now;
        return {};
    }
    const bool same = index.present && index.tree == tree.native() &&
                      index.origin.volume == origin.volume && index.origin.id == origin.id;
    origin.keepsFolderTimes = same ? index.origin.keepsFolderTimes : KeepsFolderTimes(tree);
    if (looked || FolderWritten(tree, kind, written) || kind != EntryKind::kFolder) {
        origin = TreeOrigin{0, 0, false};  // which disk it is cannot be told: no time is trusted
    }
    const bool clockPutBack = now < index.saved;
    const bool afresh = Afresh(index, tree, origin);
    Walk walk(tree, origin.keepsFolderTimes && !clockPutBack);
    walk.Check(index.root, tree, written, 0);
    index.saved = now;
    if (changes != nullptr) {
        *changes = IndexChanges{};
        walk.Tell(index, now, *changes);
        changes->whole = changes->whole || afresh;
    }
    return walk.cost();
}

std::set<std::int32_t> NumbersOf(const NumberIndex& index, std::int32_t creator) {
    std::set<std::int32_t> numbers;
    VisitNumbers(index.root, creator, [&numbers](std::int32_t number) { numbers.insert(number); });
    return numbers;
}

Carried CarriedNumbers(const NumberIndex& index, std::int32_t creator, std::int32_t number) {
    Carried carried;
    VisitNumbers(index.root, creator, [&carried, number](std::int32_t carriedNumber) {
        carried.highest = carried.any ? std::max(carried.highest, carriedNumber) : carriedNumber;
        carried.any = true;
        carried.number = carried.number || carriedNumber == number;
    });
    return carried;
}

std::string RecordWritten(NumberIndex& index, const fs::path& tree,
                          const std::vector<fs::path>& way, std::size_t made, std::int32_t creator,
                          std::int32_t number) {
    if (way.empty() || index.tree != tree.native()) {
        return {};
    }
    const bool whole = !index.present;
    if (whole && !MadeTree(index, tree, made >= way.size())) {
        return {};
    }
    std::vector<IndexedFolder*> chain{&index.root};
    fs::path path = tree;
    for (std::size_t i = 0; i + 1 < way.size(); ++i) {
        const bool madeHere = i + made + 1 >= way.size();
        IndexedFolder* next = Way(*chain.back(), path / way[i], madeHere);
        if (next == nullptr) {
            return {};
        }
        if (madeHere) {
            Rewritten(*chain.back(), path);
        }
        chain.push_back(next);
        path /= next->name;
    }
    Rewritten(*chain.back(), path);
    IndexedFolder asset;
    if (!WrittenAsset(path / way.back(), creator, number, asset)) {
        chain.back()->racy = true;
        return {};
    }
    const IndexedFolder& placed = Place(*chain.back(), std::move(asset));
    return whole ? std::string() : Addition(index.saved, chain, &placed);
}

std::string FormatIndex(const NumberIndex& index) {
    Writer body;
    body.Number(kVersion, 4);
    body.Number(sizeof(Name::value_type), 1);
    body.Text(index.tree);
    body.Number(index.present ? 1 : 0, 1);
    body.Number(index.origin.volume);
    body.Number(index.origin.id);
    body.Number(index.origin.keepsFolderTimes ? 1 : 0, 1);
    body.Number(static_cast<std::uint64_t>(index.saved));
    body.Folder(index.root);
    Writer writer;
    writer.bytes() = std::string(kMagic, sizeof kMagic - 1);
    writer.Number(body.bytes().size());
    writer.bytes() += body.bytes();
    writer.Number(IndexChecksum(body.bytes()));
    return std::move(writer.bytes());
}

bool ParseIndex(std::string_view bytes, NumberIndex& index, StoredAdditions* additions) {
    constexpr std::size_t kMagicSize = sizeof kMagic - 1;
    Reader file(bytes);
    std::string_view magic;
    std::string_view body;
    if (!file.Take(kMagicSize, magic) || magic != std::string_view(kMagic, kMagicSize) ||
        !TakeRecord(file, body) || !ReadBody(body, index)) {
        return false;
    }
    StoredAdditions applied;
    while (index.present && !file.AtEnd() && ApplyAddition(file, index)) {
        ++applied.applied;  // one that a kill cut short ends them: what follows it is not read
    }
    applied.cut = !file.AtEnd();
    if (additions != nullptr) {
        *additions = applied;
    }
    return true;
}

}  // namespace velcomp
