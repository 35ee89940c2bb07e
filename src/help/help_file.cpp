#include "help/help_file.h"

#include "help/child_process.h"
#include "help/chm_archive.h"

#include <filesystem>
#include <ostream>
#include <sys/resource.h>

namespace {

std::string& readerProgram() {
    // Linux names the running program here, whatever it was started as.
    static std::string program = "/proc/self/exe";
    return program;
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
    } else {
        HelpPages pages;
        pages.title = archive->title();
        pages.defaultTopic = archive->defaultTopic();
        pages.contentsFile = archive->contentsFile();
        pages.indexFile = archive->indexFile();
        for (const std::string& name : archive->fileNames()) {
            // A file that cannot be read whole is left out, and so is all past the bounds.
            std::optional<std::string> bytes = archive->read(name);
            if (bytes && !pages.add(name, std::move(*bytes)) &&
                pages.files().size() >= HelpPages::maxFiles)
                break;
        }
        pages.write(out);
    }
    out.flush();
    return out ? 0 : 2;
}
