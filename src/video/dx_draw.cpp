#include "video/dx_draw.h"

namespace vx {

TDXDraw::TDXDraw(TComponent* owner) : TCustomControl(owner) { SetColor(clBlack); }

void TDXDraw::Paint(Canvas& canvas) { canvas.FillRect(ClientRect(), Color()); }

}  // namespace vx
