#include "shared/filetree/FileBase.h"

#include "platform/foundation/Log.h"

namespace {

std::int64_t nodeCounter = 0;

const char* flagText(bool flag) { return flag ? "true" : "false"; }

}  // namespace

FileBase::FileBase() { _id = ++nodeCounter; }

std::string FileBase::getIDFormatted() const { return std::to_string(_id); }

void FileBase::dumpout() const {
    foundation::writeLogLine(std::string(static_cast<std::size_t>(std::max<std::int64_t>(_indent, 0)), '\t') +
                             "<item id=" + std::to_string(_id) + " _remote='" + flagText(_remote) +
                             "' _expanded='" + flagText(_expanded) + "' _selected='" + flagText(_selected) +
                             "' _indent='" + std::to_string(_indent) + "' />");
}
