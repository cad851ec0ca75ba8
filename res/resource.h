// Resource ids shared by app.rc and the code.
#pragma once
#define IDI_SONVIRA 1
