// Models of forms, their controls and their popup menus: plain state plus
// events, with the desktop's rules built in once. Each form declares its
// controls as data (kind, name, container, place, font, colours, caption, tab
// order, pointer); a backend renders any form through one generic host that
// observes the models, and turns what the user does into the same calls that
// tests make (UserClick, UserPick, UserType, UserToggle, UserChoose,
// UserClose, UserEscape, UserFocus, UserPointerOver).
#pragma once

#include "platform/forms/colours.h"
#include "platform/forms/controls.h"
#include "platform/forms/design.h"
#include "platform/forms/form.h"
#include "platform/forms/menus.h"
