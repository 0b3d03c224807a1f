// Removal of the shortcuts and program groups that the installation made.
#pragma once
#include "shell/shortcuts.h"

// The place's link named after the title, or its program group.
void RemoveShortcuts(ShortcutPlace place);

// The all-users program group named after the title.
void RemoveCommonGroup();
