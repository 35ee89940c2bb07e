#include "help/help_pages.h"

#include "help/html_scan.h"
#include "text/case_fold.h"

#include <cstdint>
#include <ostream>

namespace {

constexpr std::string_view header = "VELMORA-HELP 1\n";
// Longer than any name a CHM directory can hold.
constexpr std::size_t maxNameSize = 1024;
// Record kinds.
constexpr char fileRecord = 'F';
constexpr char factRecord = 'S';
constexpr char noHelpRecord = 'N';
constexpr char endRecord = 'E';
constexpr char tooLargeRecord = 'L';
constexpr char damagedRecord = 'D';

void putLength(std::ostream& out, std::size_t size) {
    const auto value = static_cast<std::uint32_t>(size);
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF),
                           static_cast<char>(value >> 16 & 0xFF),
                           static_cast<char>(value >> 24 & 0xFF)};
    out.write(bytes, 4);
}

void putRecord(std::ostream& out, char kind, std::string_view name, std::string_view bytes) {
    out.put(kind);
    putLength(out, name.size());
    out.write(name.data(), static_cast<std::streamsize>(name.size()));
    putLength(out, bytes.size());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Takes a length-prefixed text off the front of reply; nothing when it is cut short or longer
// than limit.
std::optional<std::string_view> takeField(std::string_view& reply, std::size_t limit) {
    if (reply.size() < 4) return std::nullopt;
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
        size = size << 8 | static_cast<unsigned char>(reply[static_cast<std::size_t>(i)]);
    reply.remove_prefix(4);
    if (size > limit || size > reply.size()) return std::nullopt;
    const std::string_view field = reply.substr(0, size);
    reply.remove_prefix(size);
    return field;
}

std::string_view withoutSlash(std::string_view name) {
    return !name.empty() && name.front() == '/' ? name.substr(1) : name;
}

// The facts of the system header, by the name their record carries.
constexpr std::pair<std::string_view, std::string HelpPages::*> facts[] = {
    {"title", &HelpPages::title},
    {"topic", &HelpPages::defaultTopic},
    {"contents", &HelpPages::contentsFile},
    {"index", &HelpPages::indexFile},
};

} // namespace

bool HelpPages::add(std::string name, std::string bytes) {
    if (files_.size() >= maxFiles || bytes.size() > maxFileSize ||
        bytes.size() > maxTotalSize - totalSize_ || name.empty() || name.size() > maxNameSize)
        return false;
    totalSize_ += bytes.size();
    files_.emplace_back(std::move(name), std::move(bytes));
    return true;
}

const std::string* HelpPages::find(std::string_view name) const {
    name = withoutSlash(name);
    // A help file names its files in any letter case, as its reader finds them.
    for (const auto& [key, bytes] : files_)
        if (equalIgnoringAsciiCase(key, name)) return &bytes;
    return nullptr;
}

bool HelpPages::leaveOut(std::string name, Unread why) {
    if (leftOut_.size() >= maxFiles || name.empty() || name.size() > maxNameSize) return false;
    leftOut_.emplace_back(std::move(name), why);
    return true;
}

std::optional<HelpPages::Unread> HelpPages::leftOut(std::string_view name) const {
    name = withoutSlash(name);
    for (const auto& [key, why] : leftOut_)
        if (equalIgnoringAsciiCase(key, name)) return why;
    return std::nullopt;
}

void HelpPages::write(std::ostream& out) const {
    out << header;
    // A damaged header may hold facts of any length; they are of no use then.
    for (const auto& [name, member] : facts)
        putRecord(out, factRecord, name,
                  (this->*member).size() <= maxNameSize ? this->*member : std::string());
    for (const auto& [name, bytes] : files_)
        putRecord(out, fileRecord, name, bytes);
    for (const auto& [name, why] : leftOut_)
        putRecord(out, why == Unread::TooLarge ? tooLargeRecord : damagedRecord, name, {});
    putRecord(out, endRecord, {}, {});
}

void HelpPages::writeNoHelpFile(std::ostream& out) {
    out << header;
    putRecord(out, noHelpRecord, {}, {});
    putRecord(out, endRecord, {}, {});
}

std::optional<HelpReply> decodeHelpReply(std::string_view reply) {
    if (reply.substr(0, header.size()) != header) return std::nullopt;
    reply.remove_prefix(header.size());
    HelpReply decoded;
    decoded.helpFile = true;
    while (!reply.empty()) {
        const char kind = reply.front();
        reply.remove_prefix(1);
        const std::optional<std::string_view> name = takeField(reply, maxNameSize);
        const std::optional<std::string_view> bytes =
            name ? takeField(reply, HelpPages::maxFileSize) : std::nullopt;
        if (!bytes || name->find('\0') != std::string_view::npos) return std::nullopt;
        switch (kind) {
        case endRecord:
            // Nothing may follow the end.
            if (!reply.empty() || !name->empty() || !bytes->empty()) return std::nullopt;
            return decoded;
        case noHelpRecord:
            decoded.helpFile = false;
            break;
        case factRecord: {
            bool known = false;
            for (const auto& [key, member] : facts)
                if (*name == key) {
                    decoded.pages.*member = std::string(*bytes);
                    known = true;
                }
            if (!known || bytes->size() > maxNameSize) return std::nullopt;
            break;
        }
        case tooLargeRecord:
        case damagedRecord:
            if (!bytes->empty() ||
                !decoded.pages.leaveOut(std::string(withoutSlash(*name)),
                                        kind == tooLargeRecord ? HelpPages::Unread::TooLarge
                                                               : HelpPages::Unread::Damaged))
                return std::nullopt;
            break;
        case fileRecord:
            if (!decoded.pages.add(std::string(withoutSlash(*name)), std::string(*bytes)))
                return std::nullopt;
            break;
        default:
            return std::nullopt;
        }
    }
    // Cut short before the end record: the reader did not finish.
    return std::nullopt;
}
