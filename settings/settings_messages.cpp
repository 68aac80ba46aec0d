#include "settings_messages.h"

namespace tindora::settings {
namespace {

const char* const kStayQuestion = "要留在程序中，处理后再试一次吗？选“否”将不保存，直接退出。";

std::string quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

std::string placeOf(const FilePlace& place)
{
    return "第 " + std::to_string(place.line) + " 行第 " + std::to_string(place.field) + " 项";
}

int largestIndex(FieldRole role) { return role == FieldRole::Hour ? 23 : 59; }

} // namespace

std::string fieldName(const FieldRef& field)
{
    std::string name = "时间" + std::to_string(field.slot + 1) + "的";
    switch (field.role) {
    case FieldRole::Hour:
        return name + "“时”";
    case FieldRole::Minute:
        return name + "“分”";
    case FieldRole::Second:
        return name + "“秒”";
    case FieldRole::Lead:
        return name + "提前分钟数";
    case FieldRole::Note:
        break;
    }
    return name + "提醒事件";
}

std::string describeReason(const StoreError& error)
{
    switch (error.kind) {
    case StoreErrorKind::PermissionDenied:
        return "没有写入权限";
    case StoreErrorKind::ReadOnlyDisk:
        return "所在的磁盘是只读的";
    case StoreErrorKind::DiskFull:
        return "磁盘已满";
    case StoreErrorKind::IsFolder:
        return "已有一个同名的文件夹";
    case StoreErrorKind::BadPath:
        return "所在的文件夹不存在";
    case StoreErrorKind::InUse:
        return "文件被其他程序占用";
    case StoreErrorKind::ReadOnlyFile:
        return "文件是只读的";
    case StoreErrorKind::NotAFile:
        return "它不是一个普通文件";
    case StoreErrorKind::TooLarge:
        return "文件大于 " + std::to_string(kMaxSettingsFileBytes >> 20) + " MB，不是本程序写的设置文件";
    case StoreErrorKind::Vanished:
        return "文件在保存途中被移走了，可能同一文件夹中还运行着另一个 Tindora";
    case StoreErrorKind::Other:
        break;
    }
    return "系统错误（代码 " + std::to_string(error.systemCode) + "）";
}

std::string pathBeside(std::string_view location, StoreFile file)
{
    const std::string_view settingsName = fileNameOf(StoreFile::Settings);
    if (!location.ends_with(settingsName))
        return std::string(fileNameOf(file));
    return std::string(location.substr(0, location.size() - settingsName.size())) + std::string(fileNameOf(file));
}

std::string describeLoadFailure(std::string_view location, const StoreError& error, bool fileKept)
{
    std::string reason = describeReason(error);
    if (error.kind == StoreErrorKind::PermissionDenied)
        reason = fileKept ? "没有读取它的权限" : "没有读取或创建它的权限";
    std::string text = "无法读取设置文件 " + std::string(location) + "：" + reason + "。三组提醒按默认设置开始。";
    if (fileKept)
        text += "原文件不会被覆盖：下次保存前，它会原样改名为 " + pathBeside(location, StoreFile::Backup) + "。";
    return text;
}

std::string describeLoadProblems(std::string_view location, const std::vector<LoadProblem>& problems)
{
    const LoadProblem& problem = problems.front();
    std::string text = "设置文件 " + std::string(location) + " " + placeOf(problem.place) + "（" +
                       fieldName(problem.field) + "）";
    switch (problem.kind) {
    case LoadProblem::Kind::FileEnded:
        text += "缺失，文件在这里提前结束了";
        break;
    case LoadProblem::Kind::OutOfRange:
        text += "是" + quoted(problem.text) + "，不是 0 到 " + std::to_string(largestIndex(problem.field.role)) +
                " 之间的整数";
        break;
    case LoadProblem::Kind::NumberTooLong:
        text += "是一个过长的数字，无法读取";
        break;
    case LoadProblem::Kind::NotText:
        text += "含有无法识别的字符";
        // A note is still shown, the characters it could not read replaced;
        // any other field keeps its default.
        if (problem.field.role == FieldRole::Note)
            text += "，这些字符显示为“\xEF\xBF\xBD”";
        break;
    }
    if (problems.size() > 1)
        text += "，此外还有 " + std::to_string(problems.size() - 1) + " 处类似问题";
    bool anyKeptDefault = false;
    for (const LoadProblem& p : problems)
        anyKeptDefault = anyKeptDefault || !(p.kind == LoadProblem::Kind::NotText && p.field.role == FieldRole::Note);
    text += "。";
    if (anyKeptDefault)
        text += "读不出的项保持默认值；";
    return text + "下次保存前，原文件会先备份为 " + pathBeside(location, StoreFile::Backup) + "。";
}

std::string describeSaveFailure(std::string_view location, const StoreError& error, bool leaving)
{
    std::string text = "无法保存设置文件 " + std::string(location) + "：";
    switch (error.file) {
    case StoreFile::Settings:
        break;
    case StoreFile::Pending:
        text += "写入临时文件 " + pathBeside(location, StoreFile::Pending) + " 时出错：";
        break;
    case StoreFile::Backup:
    case StoreFile::BackupPending:
        text += "把原文件备份为 " + pathBeside(location, StoreFile::Backup) + " 时出错：";
        break;
    }
    text += describeReason(error) + (error.settingsFileGone ? "。原来的文件也不在了。" : "。原来的文件没有改动。");
    if (leaving)
        text += kStayQuestion;
    return text;
}

std::string describeOtherVersionKept(std::string_view location)
{
    return "设置文件 " + std::string(location) + " 在 Tindora 运行时被其他程序改动过。改动后的那一份已另存为 " +
           pathBeside(location, StoreFile::Backup) + "，" + std::string(location) + " 中现在是窗口里的设置。";
}

std::string describeInexactSave(std::string_view location, const std::vector<FieldRef>& fields, bool leaving)
{
    std::string names;
    for (const FieldRef& field : fields) {
        if (!names.empty())
            names += "、";
        names += fieldName(field);
    }
    std::string text = "设置文件 " + std::string(location) + " 已保存，但" + names +
                       "中有本系统无法保存的字符，文件里这些字符已换成“?”。";
    if (leaving)
        text += "要留在程序中修改吗？选“否”将直接退出。";
    return text;
}

} // namespace tindora::settings
