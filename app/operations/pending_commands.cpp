#include "app/shell/commands.h"

namespace varnel {

// Commands bound to the toolbar and menu that do nothing until their
// operations are built.
void RenderPreview() {}
void AddTextWatermark() {}
void AskWatermarkText() {}
void ApplyPictureWatermark() {}
void ChooseWatermarkPicture() {}
void SplitPictureInHalves() {}
void CutPictureByLines() {}
void RunBatch(BatchOperation, bool) {}
void LoadListItem() {}
void SaveSnapshot() {}

}  // namespace varnel
