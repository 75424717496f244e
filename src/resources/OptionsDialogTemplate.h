#pragma once

#include "resources/DialogTemplate.h"

const DialogTemplate& OptionsDialogTemplate();
