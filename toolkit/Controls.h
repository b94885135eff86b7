// Every kind of control a form's layout table can hold.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Labels.h"
#include "toolkit/PageControl.h"
#include "toolkit/SpinEdit.h"
