#include "services/CorePick.h"

#include "services/Settings.h"
#include "services/Templates.h"
#include "services/Windows.h"

namespace kv::services {

std::optional<double> pickCoreAe(ui::Dialog& opener, char mode) {
    if (!writeSlot(kHandshakeSlot, mode)) return std::nullopt;
    if (!runModalWindow(tpl::kCoreDatabase, opener)) return std::nullopt;
    const std::optional<char> after = readSlot(kHandshakeSlot);
    if (!after || *after == '#') return std::nullopt;
    return readTempNumber();
}

bool pickCoreInto(ui::Dialog& opener) {
    if (!writeSlot(kHandshakeSlot, '1')) return false;
    if (!runModalWindow(tpl::kCoreDatabase, opener)) return false;
    return readSlot(kHandshakeSlot) == '*';
}

} // namespace kv::services
