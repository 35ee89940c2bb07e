#include "chm/chm_archive.h"

#include "text/case_fold.h"

#include <algorithm>
#include <chm_lib.h>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

std::string objectPath(std::string_view name) {
    std::string path;
    // The archive's own storage is named from "::", outside the tree of files.
    if (!name.starts_with('/') && !name.starts_with("::")) path = "/";
    path.append(name);
    return path;
}

std::uint16_t little16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

struct Listing {
    std::vector<std::string> names;
    std::size_t maxNames;
};

int listFile(chmFile*, chmUnitInfo* info, void* context) {
    auto* listing = static_cast<Listing*>(context);
    const std::string_view path(info->path, strnlen(info->path, sizeof info->path));
    if (listing->names.size() >= listing->maxNames) return CHM_ENUMERATOR_SUCCESS;
    if (!path.empty() && path.back() != '/')
        listing->names.emplace_back(path.substr(path.front() == '/' ? 1 : 0));
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const std::string& path) {
    chmFile* file = chm_open(path.c_str());
    if (!file) return nullptr;
    std::unique_ptr<ChmArchive> archive(new ChmArchive(file));
    archive->tablesAgree_ = archive->checkTables();
    if (!archive->tablesAgree_) archive->packedSpan_ = 0;
    archive->readSystemHeader();
    return archive;
}

ChmArchive::~ChmArchive() {
    chm_close(file_);
}

bool ChmArchive::contains(std::string_view name) const {
    chmUnitInfo info{};
    return chm_resolve_object(file_, objectPath(name).c_str(), &info) == CHM_RESOLVE_SUCCESS;
}

ChmArchive::Read ChmArchive::fetch(std::string_view name, std::size_t limit) const {
    chmUnitInfo info{};
    const std::string path = objectPath(name);
    Read read;
    if (path.size() > CHM_MAX_PATHLEN ||
        chm_resolve_object(file_, path.c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return read;
    read.status = Read::Status::Damaged;
    // The compressed section ends where its span says; past it the library unpacks whatever the
    // reset table's entries beyond its end point at.
    if (info.space == 1 && (info.start > packedSpan_ || info.length > packedSpan_ - info.start))
        return read;
    if (info.space > 1) return read;
    if (info.length > limit) {
        read.status = Read::Status::TooLarge;
        return read;
    }
    read.bytes.assign(static_cast<std::size_t>(info.length), '\0');
    const LONGINT64 got =
        read.bytes.empty()
            ? 0
            : chm_retrieve_object(file_, &info, reinterpret_cast<unsigned char*>(read.bytes.data()),
                                  0, static_cast<LONGINT64>(read.bytes.size()));
    if (got != static_cast<LONGINT64>(read.bytes.size())) return read;
    read.status = Read::Status::Read;
    return read;
}

std::optional<std::string> ChmArchive::read(std::string_view name) const {
    Read read = fetch(name);
    if (read.status != Read::Status::Read) return std::nullopt;
    return std::move(read.bytes);
}

namespace {

std::uint64_t little(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool powerOfTwo(std::uint64_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

bool ChmArchive::checkTables() {
    constexpr std::string_view storage = "::DataSpace/Storage/MSCompressed/";
    const std::string prefix(storage);
    chmUnitInfo content{};
    const bool compressed =
        chm_resolve_object(file_, (prefix + "Content").c_str(), &content) == CHM_RESOLVE_SUCCESS;
    packedSpan_ = 0;
    if (compressed) {
        // Tables of the uncompressed section, read before anything is unpacked.
        const Read control = fetch(prefix + "ControlData", 4096);
        const Read span = fetch(prefix + "SpanInfo", 4096);
        const Read reset = fetch(prefix + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                                          "InstanceData/ResetTable",
                                 1u << 20);
        if (control.status != Read::Status::Read || span.status != Read::Status::Read ||
            reset.status != Read::Status::Read || content.space != 0)
            return false;
        // Control data: "LZXC", a version, the reset interval and the window (in 32 KiB frames
        // from version 2 on).
        const std::string_view lzxc = control.bytes;
        if (lzxc.size() < 24 || lzxc.substr(4, 4) != "LZXC") return false;
        const std::uint64_t version = little(lzxc, 8, 4);
        const std::uint64_t unit = version == 2 ? 0x8000 : 1;
        const std::uint64_t interval = little(lzxc, 12, 4) * unit;
        const std::uint64_t window = little(lzxc, 16, 4) * unit;
        if ((version != 1 && version != 2) || window < 0x8000 || window > 0x200000 ||
            !powerOfTwo(window) || interval == 0 || interval % 0x8000 != 0 || interval > 0x1000000)
            return false;
        // The reset table: where each frame of 32 KiB starts in the content, rising from 0.
        const std::string_view table = reset.bytes;
        if (table.size() < 0x28 || span.bytes.size() < 8) return false;
        const std::uint64_t count = little(table, 4, 4);
        const std::uint64_t entrySize = little(table, 8, 4);
        const std::uint64_t offset = little(table, 12, 4);
        const std::uint64_t spanLength = little(table, 16, 8);
        const std::uint64_t packedLength = little(table, 24, 8);
        const std::uint64_t frame = little(table, 32, 8);
        const std::uint64_t frames = (spanLength + frame - 1) / (frame ? frame : 1);
        if (little(table, 0, 4) != 2 || entrySize != 8 || frame != 0x8000 || offset < 0x28 ||
            spanLength > std::uint64_t(1) << 40 || offset > table.size() ||
            count > (table.size() - offset) / 8 || spanLength != little(span.bytes, 0, 8) ||
            packedLength != content.length || count < frames || count > frames + 1)
            return false;
        for (std::uint64_t i = 0, previous = 0; i < count; ++i) {
            const std::uint64_t start = little(table, offset + i * 8, 8);
            if ((i == 0 && start != 0) || (i > 0 && start <= previous) || start > packedLength)
                return false;
            previous = start;
        }
        packedSpan_ = spanLength;
    }
    // The packed files of the compressed section lie one after another from its start, without
    // gaps or overlaps: a damaged place or length in the directory shows as one or the other.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> places[2];
    chm_enumerate(
        file_, CHM_ENUMERATE_ALL,
        [](chmFile*, chmUnitInfo* info, void* context) {
            auto* places =
                static_cast<std::vector<std::pair<std::uint64_t, std::uint64_t>>*>(context);
            if (info->space > 1) {
                places[0].emplace_back(~std::uint64_t(0), 1); // no section of that number
                return CHM_ENUMERATOR_SUCCESS;
            }
            if (info->length > 0) places[info->space].emplace_back(info->start, info->length);
            return places[0].size() + places[1].size() > 100000 ? CHM_ENUMERATOR_SUCCESS
                                                                : CHM_ENUMERATOR_CONTINUE;
        },
        places);
    for (int section = 0; section < 2; ++section) {
        std::sort(places[section].begin(), places[section].end());
        std::uint64_t end = 0;
        for (const auto& [start, length] : places[section]) {
            // The uncompressed section is only read, never unpacked: there, only overlaps count.
            if ((section == 1 ? start != end : start < end) || length > ~std::uint64_t(0) - start)
                return false;
            end = start + length;
        }
        if (section == 1 && end != packedSpan_) return false;
    }
    return true;
}

std::vector<std::string> ChmArchive::fileNames(std::size_t maxNames) const {
    Listing listing{{}, maxNames};
    chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, listFile, &listing);
    return listing.names;
}

void ChmArchive::readSystemHeader() {
    // A version, then records of a 16-bit code, a 16-bit length and that many bytes; the texts
    // end in a NUL.
    if (const std::optional<std::string> system = read("#SYSTEM")) {
        std::size_t at = 4;
        while (at + 4 <= system->size()) {
            const std::uint16_t code = little16(*system, at);
            const std::uint16_t length = little16(*system, at + 2);
            at += 4;
            if (length > system->size() - at) break;
            const std::string data = system->substr(at, length);
            const std::string text(data.c_str(), strnlen(data.c_str(), data.size()));
            if (code == 0) contentsFile_ = text;
            if (code == 1) indexFile_ = text;
            if (code == 2) defaultTopic_ = text;
            if (code == 3) title_ = text;
            at += length;
        }
    }
    // Else the first packed one of each.
    for (auto [file, suffix] : {std::pair{&contentsFile_, ".hhc"}, {&indexFile_, ".hhk"}}) {
        if (!file->empty() && contains(*file)) continue;
        file->clear();
        for (const std::string& name : fileNames())
            if (endsWithNoCase(name, suffix)) {
                *file = name;
                break;
            }
    }
}
