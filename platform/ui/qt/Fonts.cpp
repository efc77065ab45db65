#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include <cmath>

// The pictures live in a static library: their resource must be pulled in.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace kv::ui {

namespace {
struct Substitution {
    const char* face;
    QStringList fonts;
};

const std::vector<Substitution>& substitutions() {
    static const std::vector<Substitution> subs = {
        {"楷体", {"AR PL UKai CN", "AR PL UKai TW", "Noto Serif CJK SC"}},
        {"华文行楷", {"AR PL UKai CN", "AR PL UKai TW", "Noto Serif CJK SC"}},
        {"黑体", {"Noto Sans CJK SC", "Noto Sans CJK TC"}},
        {"宋体", {"Noto Serif CJK SC", "Noto Serif CJK TC", "AR PL UMing CN"}},
        {"Dialog", {"Noto Sans CJK SC", "Noto Sans CJK TC"}},
    };
    return subs;
}

constexpr const char* kDialogFace = "Dialog";
} // namespace

std::vector<std::string> installFonts() {
    initResources();
    std::vector<std::string> missing;
    const QStringList installed = QFontDatabase::families();
    for (const auto& s : substitutions()) {
        QStringList present;
        for (const QString& f : s.fonts)
            if (installed.contains(f, Qt::CaseInsensitive)) present << f;
        if (present.isEmpty()) missing.emplace_back(s.face);
        // Only installed fonts: a face must never fall back to one without CJK glyphs.
        QFont::insertSubstitutions(QString::fromUtf8(s.face), present.isEmpty() ? s.fonts : present);
    }
    QApplication::setFont(fontFor("", 90));
    return missing;
}

QFont fontFor(std::string_view face, int tenthsOfPoint) {
    QFont f(QString::fromUtf8(face.empty() ? kDialogFace : std::string(face).c_str()));
    if (tenthsOfPoint <= 0) tenthsOfPoint = 90; // size 0: the face's default size
    // Points at 96 dpi, as the designs assume, whatever the screen reports.
    f.setPixelSize(std::max(1, int(std::lround(tenthsOfPoint / 10.0 * 96.0 / 72.0))));
    return f;
}

} // namespace kv::ui
