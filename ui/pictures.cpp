#include "ui/pictures.h"

#include "input/block_diagram.h"
#include "results/schematics.h"

const PictureSpec& PictureSpecOf(PictureId id) {
  static constexpr PictureSpec kNone{};
  switch (id) {
    case PictureId::None: return kNone;
    case PictureId::BlockDiagram: return BlockDiagramPicture();
    default: return ResultPicture(id);
  }
}
