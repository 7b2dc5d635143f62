// A document whose pending primitive is one box (8 by 8 by 8 at the
// origin), locked where it stands, as the box editor shapes it.
#pragma once

#include "Document.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"

namespace qxtest {

inline void PendOneBox(Document& doc, TQX3DObject& holder)
{
    holder.AddList();
    holder.Lists[0]->AddBox(0, 0, 0, 0, 8, 8, 8, 1, 0, 0, 0);
    doc.PendingPrimitive = &holder;
    doc.Placing = true;
    doc.PrimIndex = 0;
    doc.ClickState = 1;
}

}  // namespace qxtest
