#include "toolbox/ToolPages.h"

namespace kv::toolbox {

std::unique_ptr<ui::Dialog> createPage(int templateId, ui::Dialog* parent) {
    switch (templateId) {
    default: break;
    }
    (void)parent;
    return nullptr;
}

} // namespace kv::toolbox
