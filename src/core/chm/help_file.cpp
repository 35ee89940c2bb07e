#include "chm/help_file.h"

#include "chm/child_process.h"
#include "chm/chm_archive.h"
#include "chm/page_encoding.h"
#include "chm/sha256.h"
#include "help/help_contents.h"
#include "text/case_fold.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sys/resource.h>

namespace {

std::string& readerProgram() {
    // Linux names the running program here, whatever it was started as.
    static std::string program = "/proc/self/exe";
    return program;
}

void addLocals(const std::vector<ContentsEntry>& entries, std::vector<std::string>& pages) {
    for (const ContentsEntry& entry : entries) {
        const std::string page = entry.local.substr(0, entry.local.find('#'));
        // Pages inside the help file only: no address with a scheme.
        if (!page.empty() && page.find(':') == std::string::npos) pages.push_back(page);
        addLocals(entry.children, pages);
    }
}

// The pages that the default topic, the contents and the index lead to.
std::vector<std::string> namedPages(const HelpPages& pages) {
    std::vector<std::string> named;
    addLocals({ContentsEntry{{}, pages.defaultTopic, {}}}, named);
    for (const std::string* sitemap : {pages.find(pages.contentsFile), pages.find(pages.indexFile)})
        if (sitemap) addLocals(parseContents(*sitemap), named);
    for (std::string& page : named)
        for (char& c : page)
            c = asciiLower(c);
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    // As many as a help file may hold: a damaged index may name any number.
    if (named.size() > HelpPages::maxFiles) named.resize(HelpPages::maxFiles);
    return named;
}

// With the digests the build packs beside the pages ("hash  name" lines, as sha256sum writes
// them): whether every page, style sheet, contents and index is listed and has its digest. The
// CHM format itself holds no checksum, and damaged compressed data unpacks into text that reads
// well but is not what was written. Nothing to check in a help file without the list.
bool digestsAgree(const HelpPages& pages) {
    const std::string* list = pages.find(helpDigestFile);
    if (!list) return !pages.leftOut(helpDigestFile);
    std::vector<std::string> listed;
    for (std::size_t at = 0; at < list->size();) {
        std::size_t end = list->find('\n', at);
        if (end == std::string::npos) return false;
        const std::string_view line = std::string_view(*list).substr(at, end - at);
        at = end + 1;
        if (line.size() < 67 || line.substr(64, 2) != "  ") return false;
        const std::string name(line.substr(66));
        const std::string* bytes = pages.find(name);
        if (!bytes || sha256Hex(*bytes) != line.substr(0, 64)) return false;
        listed.push_back(name);
    }
    for (const auto& file : pages.files()) {
        const auto same = [&](const std::string& other) {
            return equalIgnoringAsciiCase(other, file.first);
        };
        if (isTextFile(file.first) && std::none_of(listed.begin(), listed.end(), same))
            return false;
    }
    return true;
}

} // namespace

const std::string& helpReaderProgram() {
    return readerProgram();
}

void setHelpReaderProgram(std::string program) {
    readerProgram() = std::move(program);
}

HelpLoad loadHelpFile(const std::string& path, const std::string& program,
                      std::chrono::milliseconds limit) {
    HelpLoad load;
    std::error_code error;
    // A FIFO or a device is no help file, and is never opened.
    if (!std::filesystem::is_regular_file(path, error)) return load;
    const ChildOutput child =
        runChild(program, {"--read-help", path}, limit, HelpPages::maxReplySize);
    std::optional<HelpReply> reply;
    if (child.ending == ChildOutput::Ending::Exited && child.status == 0)
        reply = decodeHelpReply(child.output);
    if (!reply) {
        // A reader that never ran, or was stopped at the time limit, says nothing of the file.
        const bool notRead = child.ending == ChildOutput::Ending::NotStarted ||
                             child.ending == ChildOutput::Ending::TimedOut;
        load.state = notRead ? HelpLoad::State::NotRead : HelpLoad::State::Damaged;
    } else if (!reply->helpFile) {
        load.state = HelpLoad::State::NoHelp;
    } else if (reply->pages.files().empty() && reply->pages.defaultTopic.empty()) {
        // A directory damaged past reading lists nothing at all: that is no help to open
        // blank, and the user is told the file is damaged.
        load.state = HelpLoad::State::Damaged;
    } else {
        load.state = HelpLoad::State::Read;
        load.pages = std::make_shared<const HelpPages>(std::move(reply->pages));
    }
    return load;
}

int writeHelpFile(const std::string& path, std::ostream& out) {
    // A crash here is expected of damaged files; it must not leave a core file in the user's
    // folder.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(path);
    if (!archive) {
        HelpPages::writeNoHelpFile(out);
    } else if (!archive->tablesAgree()) {
        // Nothing of it is sent: the parent takes a reply that never came for a damaged file.
        return 3;
    } else {
        HelpPages pages;
        pages.title = archive->title();
        pages.defaultTopic = archive->defaultTopic();
        pages.contentsFile = archive->contentsFile();
        pages.indexFile = archive->indexFile();
        for (const std::string& name : archive->fileNames()) {
            ChmArchive::Read read = archive->fetch(name);
            using Status = ChmArchive::Read::Status;
            // A file is sent only when it was read whole and, for text, decodes as it declares;
            // what is left out is named, so the window can say why it has no page.
            if (read.status == Status::Read && isTextFile(name) && !textDecodesWhole(read.bytes))
                read.status = Status::Damaged;
            if (read.status == Status::Read && pages.add(name, std::move(read.bytes))) continue;
            if (read.status == Status::Missing) continue;
            pages.leaveOut(name, read.status == Status::Damaged ? HelpPages::Unread::Damaged
                                                                : HelpPages::Unread::TooLarge);
            if (pages.files().size() >= HelpPages::maxFiles) break;
        }
        if (!digestsAgree(pages)) return 3;
        // A page the help file leads to but does not hold lost its name in a damaged directory.
        for (const std::string& page : namedPages(pages))
            if (!pages.find(page) && !pages.leftOut(page))
                pages.leaveOut(page, HelpPages::Unread::Damaged);
        pages.write(out);
    }
    out.flush();
    return out ? 0 : 2;
}
