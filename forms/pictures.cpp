#include "forms/pictures.h"

#include "forms/block_diagram.h"
#include "forms/schematics.h"

const PictureSpec& PictureSpecOf(PictureId id) {
  static constexpr PictureSpec kNone{};
  switch (id) {
    case PictureId::None: return kNone;
    case PictureId::BlockDiagram: return BlockDiagramPicture();
    default: return ResultPicture(id);
  }
}
