#include "shell/FontDialog.h"

#include "platform/ui/Backend.h"
#include "services/Settings.h"

namespace kv::shell {

void FontDialog::onInitDialog() {
    for (const char* face : {"黑体", "宋体", "楷体", "华文行楷"}) addItem(kFace, face);
    size = 100;
    select(kFace, services::fontFacePosition());
    size = services::readFontSize();
    writeInt(kSize, size);
}

void FontDialog::onOk() {
    int value = 0;
    if (!readInt(kSize, value)) {
        messageBox("请输入正确的字体大小!", ui::kAppName, ui::Icon::Warning);
        return;
    }
    size = value;
    if (size > services::kLargestDisplayFont || size <= 10) {
        messageBox("错误：字体大小超出范围!", ui::kAppName, ui::Icon::Warning);
        return;
    }
    services::writeFont(selected(kFace) < 0 ? 0 : selected(kFace), size);
    if (parent()) parent()->invalidate();
    endDialog(ui::IdOk);
}

} // namespace kv::shell
