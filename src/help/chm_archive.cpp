#include "help/chm_archive.h"

#include <chm_lib.h>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

std::string objectPath(std::string_view name) {
    std::string path;
    if (name.empty() || name.front() != '/') path = "/";
    path.append(name);
    return path;
}

std::uint16_t little16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
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

std::optional<std::string> ChmArchive::read(std::string_view name) const {
    chmUnitInfo info{};
    const std::string path = objectPath(name);
    if (path.size() > CHM_MAX_PATHLEN) return std::nullopt;
    if (chm_resolve_object(file_, path.c_str(), &info) != CHM_RESOLVE_SUCCESS) return std::nullopt;
    // A damaged directory may claim any length; no help page comes near this.
    if (info.length > maxFileSize) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(info.length), '\0');
    if (bytes.empty()) return bytes;
    const LONGINT64 got =
        chm_retrieve_object(file_, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(bytes.size()));
    if (got != static_cast<LONGINT64>(bytes.size())) return std::nullopt;
    return bytes;
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
