#pragma once
// Resource identifiers shared by varnel.rc and the code.
#define IDI_VARNEL 1
#define IDR_SAMPLE_PICTURE 101
#define IDR_WATERMARK_PICTURE 102
#define IDB_TOOLBAR_IMAGES 103
