#include "form/DesignKeeper.h"

#include "platform/io/AtomicFile.h"
#include "platform/io/Files.h"
#include "platform/ui/Backend.h"
#include "services/Windows.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kv::form {

namespace fs = std::filesystem;

namespace {

std::string absolute(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

void writeRecent(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& p : paths) text += p + "\n";
    // The list is a convenience: a folder that refuses it costs nothing else.
    (void)io::replaceFile(kRecentDesigns, text);
}

void forgetDesign(const std::string& path) {
    std::vector<std::string> list = recentDesigns();
    const std::string full = absolute(path);
    list.erase(std::remove(list.begin(), list.end(), full), list.end());
    writeRecent(list);
}

std::string refusal(const std::string& path, const std::string& why, bool windowKept) {
    return "无法打开设计文件“" + path + "”：\n" + why + (windowKept ? "\n窗口中的设计没有改变。" : "");
}

// A design that was read puts itself into `k`, or says why it does not fit
// (of a window that stays, that its design did not change).
bool take(DesignKeeper& k, const Design& d, const std::string& path, bool windowStays) {
    if (const std::optional<std::string> why = k.misfit(d)) {
        k.designWindow().messageBox(refusal(path, *why, windowStays), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    k.restore(d);
    k.setDesignFile(absolute(path));
    rememberDesign(path);
    return true;
}

// The file dialog of a design command, starting in `req.folder` or else in
// the user's data folder.
std::optional<std::string> chooseFile(ui::Dialog& owner, ui::FileDialogRequest req) {
    req.title = req.save ? "保存设计" : "打开设计";
    req.defaultExt = kDesignExtension;
    req.filter = std::string("Korvane 设计 (*.") + kDesignExtension + ")";
    if (req.folder.empty()) req.folder = io::workFolder();
    std::optional<std::string> path = ui::backend().fileDialog(&owner, req);
    io::restoreWorkFolder();
    return path;
}

// In the folder of the window's design file, when it has one.
std::optional<std::string> chooseFile(DesignKeeper& k, bool save) {
    ui::FileDialogRequest req;
    req.save = save;
    const fs::path file = k.designFile();
    req.folder = file.parent_path().string();
    if (save) {
        std::string name = file.empty() ? k.designWindow().dialogTemplate().caption : file.filename().string();
        std::replace(name.begin(), name.end(), '/', '-');
        if (file.empty()) name += std::string(".") + kDesignExtension;
        req.defaultName = name;
    }
    return chooseFile(k.designWindow(), req);
}

} // namespace

std::string notThisWindow(const Design& d, std::string_view window) {
    return "这是“" + (d.window.empty() ? "模板 " + std::to_string(d.templateId) : d.window) + "”的设计，不是“" +
           std::string(window) + "”的。";
}

std::string notAButton(const Design& d, const std::string& token) {
    return atLine(d.buttonsLine) + "“buttons”中的“" + token + "”不是这个窗口的计算按钮。";
}

std::string unknownInput(const DesignLine& l) { return atLine(l.line) + "这个窗口没有名为“" + l.name + "”的输入。"; }

std::string notANumber(const DesignLine& l) {
    return atLine(l.line) + "“" + l.name + "”的值“" + l.value + "”不是数字。";
}

std::string notAnEntry(const DesignLine& l, const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& e : entries) list += (list.empty() ? "" : "、") + e;
    return atLine(l.line) + "“" + l.name + "”没有“" + l.value + "”这一项（可选：" + list + "）。";
}

std::string missingInput(std::string_view label, std::string_view name, int line) {
    return atLine(line) + "缺少输入“" + std::string(label) + "”（" + std::string(name) + "）" + (line ? "的数值。" : "。");
}

void DesignKeeper::setDesignFile(std::string path) {
    file_ = std::move(path);
    designFileChanged();
}

std::vector<ui::SysMenuItem> designMenu() {
    return {{0, {}, {}}, {kSaveDesignCommand, kSaveDesignEntry, "Ctrl+S"}, {kOpenDesignCommand, kOpenDesignEntry, "Ctrl+O"}};
}

bool designCommand(DesignKeeper& k, int id) {
    if (!k.keepsDesigns()) return false;
    const int command = id & 0xFFF0;
    if (command == kSaveDesignCommand) {
        // Nothing to choose a file for when the design cannot be kept.
        const auto now = k.currentDesign();
        if (const std::string* why = std::get_if<std::string>(&now)) {
            k.designWindow().messageBox(*why, ui::kAppName, ui::Icon::Warning);
        } else if (const auto path = chooseFile(k, true)) {
            saveDesign(k, *path);
        }
        return true;
    }
    if (command == kOpenDesignCommand) {
        if (const auto path = chooseFile(k, false)) openDesign(k, *path);
        return true;
    }
    return false;
}

bool saveDesign(DesignKeeper& k, const std::string& path) {
    ui::Dialog& w = k.designWindow();
    const auto now = k.currentDesign();
    if (const std::string* why = std::get_if<std::string>(&now)) {
        w.messageBox(*why, ui::kAppName, ui::Icon::Warning);
        return false;
    }
    const io::Replaced r = io::replaceFile(path, writeDesign(std::get<Design>(now)));
    if (!r) {
        w.messageBox("无法保存设计文件“" + path + "”：" + io::whyNotReplaced(path, r) + "。\n原来的文件没有改变。",
                     ui::kAppName, ui::Icon::Error);
        return false;
    }
    k.setDesignFile(absolute(path));
    rememberDesign(path);
    return true;
}

DesignRead readDesignFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return {std::nullopt, "找不到这个文件。"};
    if (fs::is_directory(st)) return {std::nullopt, "这是一个文件夹，不是设计文件。"};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kDesignMaxBytes) return {std::nullopt, designTooLarge(std::size_t(size))};
    std::ifstream f(path, std::ios::binary);
    if (!f) return {std::nullopt, "文件无法读取（没有读取权限）。"};
    std::string text(kDesignMaxBytes + 1, '\0');
    f.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(f.gcount()));
    return readDesign(text);
}

bool openDesign(DesignKeeper& k, const std::string& path) {
    const DesignRead r = readDesignFile(path);
    if (!r.design) {
        k.designWindow().messageBox(refusal(path, r.error, true), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    return take(k, *r.design, path, true);
}

void openDesignWindow(ui::Dialog& parent) {
    ui::FileDialogRequest req;
    req.save = false;
    if (const std::optional<std::string> path = chooseFile(parent, req)) openDesignWindow(parent, *path);
}

bool openDesignWindow(ui::Dialog& parent, const std::string& path) {
    const DesignRead r = readDesignFile(path);
    const auto refuse = [&](const std::string& why) {
        parent.messageBox(refusal(path, why, false), ui::kAppName, ui::Icon::Warning);
        return false;
    };
    if (!r.design) {
        std::error_code ec;
        if (!fs::exists(path, ec)) forgetDesign(path);
        return refuse(r.error);
    }
    const Design& d = *r.design;
    const auto keeperOf = [](ui::Dialog& w) {
        auto* k = dynamic_cast<DesignKeeper*>(&w);
        return k && k->keepsDesigns() ? k : nullptr;
    };
    const std::string noWindow = "这个版本中没有保存设计的窗口使用模板 " + std::to_string(d.templateId) +
                                 (d.window.empty() ? std::string() : "（“" + d.window + "”）") + "。";
    // A page opens in its sheet: the sheet does not show when the design does not fit.
    if (services::sheetOf(d.templateId)) {
        bool taken = false, found = false;
        services::runSheetAt(d.templateId, parent, [&](ui::Dialog& page) {
            DesignKeeper* k = keeperOf(page);
            found = k != nullptr;
            taken = k && take(*k, d, path, false);
            if (!taken && page.parent()) page.parent()->endDialog(ui::IdCancel);
        });
        return found ? taken : refuse(noWindow);
    }
    std::unique_ptr<ui::Dialog> w = services::createWindow(d.templateId, &parent);
    DesignKeeper* k = w ? keeperOf(*w) : nullptr;
    if (!k) return refuse(noWindow);
    ui::Dialog& shown = parent.openModeless(std::move(w));
    if (take(*k, d, path, false)) return true;
    shown.close();
    return false;
}

std::vector<std::string> recentDesigns() {
    std::ifstream f(kRecentDesigns);
    std::vector<std::string> list;
    std::string line;
    while (list.size() < kRecentCount && std::getline(f, line))
        if (!line.empty() && std::find(list.begin(), list.end(), line) == list.end()) list.push_back(line);
    return list;
}

void rememberDesign(const std::string& path) {
    std::vector<std::string> list = recentDesigns();
    const std::string full = absolute(path);
    list.erase(std::remove(list.begin(), list.end(), full), list.end());
    list.insert(list.begin(), full);
    if (list.size() > kRecentCount) list.resize(kRecentCount);
    writeRecent(list);
}

} // namespace kv::form
