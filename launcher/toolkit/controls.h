#pragma once

// Every control kind of the toolkit, for the windows that lay them out.

#include "toolkit/button.h"
#include "toolkit/combo_box.h"
#include "toolkit/control.h"
#include "toolkit/group_box.h"
#include "toolkit/image.h"
#include "toolkit/label.h"
#include "toolkit/timer.h"
#include "toolkit/toggle_button.h"
