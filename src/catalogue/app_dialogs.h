#pragma once

#include "platform/ui/dialogs.h"

#include <memory>

namespace mosswick {

// The program's dialogs: the Qt ones, with our own password prompt.
std::unique_ptr<ui::Dialogs> make_app_dialogs();

} // namespace mosswick
