// The files of the classic designers: one formula file per operating mode,
// one interface file, and the picture of the topology in the Code folder.
// Each designer registers its own at start; start-up creates them, the editor
// page lists them, the formula runner finds a file's designer by them.
#pragma once

#include "platform/io/Files.h"
#include "script/Bindings.h"

#include <span>
#include <string_view>
#include <vector>

namespace kv::script {

struct FormulaFile {
    std::string_view file;  // in the current directory
    std::string_view entry; // text of the editor page's formula list
};

struct DesignerFiles {
    int templateId;
    std::string_view interfaceFile;
    std::string_view interfaceEntry; // text of the editor page's interface list
    std::string_view picture;        // in the Code folder beside the program
    std::span<const FormulaFile> formulas; // by mode
};

// Registers (or replaces) a classic designer: its files, its formula names
// and the label controls its interface file numbers. The editor page lists
// the designers in the order they registered.
void registerDesigner(const DesignerFiles& files, std::vector<Binding> names, std::vector<int> labels);

// The registered designers, in the editor page's order.
std::span<const DesignerFiles> designerFiles();
const DesignerFiles* designerFilesFor(int templateId);
// The designer that runs formula file `fileName` (a bare name or a path; only
// the part after the last '/' is compared), or null.
const DesignerFiles* designerOfFormulaFile(std::string_view fileName);
// Formula file of mode `mode`; empty for an unknown designer or mode.
std::string_view formulaFileName(int templateId, int mode);
std::string_view interfaceFileName(int templateId);
// Every formula and interface file, as start-up makes sure of them.
std::vector<std::string_view> allScriptFiles();

// The first byte of a formula or interface file that keeps the built-in
// formulas or labels.
inline constexpr char kBuiltinMark = '#';
// Creates a missing formula or interface file holding the built-in mark, so
// that a new program folder computes and labels with the built-in ones and
// says nothing; an existing file is never touched.
io::FileError ensureScriptFile(std::string_view name);

} // namespace kv::script
