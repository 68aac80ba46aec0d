#pragma once
// What the user is told about the settings file, one plain Chinese sentence or
// two each, naming the file and the reason. Shown by the window, composed here.

#include "settings_file.h"
#include "settings_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace tindora::settings {

// Something in the file that could not be put into the window.
struct LoadProblem {
    enum class Kind {
        FileEnded,     // the file ends before this field
        OutOfRange,    // a picker number that names no item of the list
        NumberTooLong, // a number too long to be read as one
        NotText,       // bytes that are not valid text
    };
    Kind kind = Kind::FileEnded;
    FilePlace place;
    FieldRef field;
    std::string text; // the field as read, for the message
};

// The reason alone: "没有写入权限", "磁盘已满", ...
std::string describeReason(const StoreError& error);

// The full path of `file`, beside the settings file at `location`.
std::string pathBeside(std::string_view location, StoreFile file);

// The file could not be read or created at start-up; `fileKept` when it is
// there and will be moved aside to time.txt.bak, unread, before the first save.
std::string describeLoadFailure(std::string_view location, const StoreError& error, bool fileKept);
// The first of the problems found while loading (there is at least one), how
// many followed it, and what the fields concerned became.
std::string describeLoadProblems(std::string_view location, const std::vector<LoadProblem>& problems);

// A save failed; `leaving` adds the question whether to stay (Yes) or to leave without saving (No).
std::string describeSaveFailure(std::string_view location, const StoreError& error, bool leaving);
// A save went through, but time.txt had been changed by another program, and
// that version was kept as time.txt.bak first.
std::string describeOtherVersionKept(std::string_view location);
// A save went through, but these fields held characters that the system cannot store.
std::string describeInexactSave(std::string_view location, const std::vector<FieldRef>& fields, bool leaving);

// "时间2的提醒事件"
std::string fieldName(const FieldRef& field);

} // namespace tindora::settings
