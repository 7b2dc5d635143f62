#include "MapDraw.h"

#include <GL/gl.h>

#include "ObjectBuffers.h"
#include "QX3DObject.h"

void DrawMap(const ProjectContent& content, uint8_t mode, uint8_t range, uint8_t band, float cameraX, float level,
             float cameraZ)
{
    glColor4f(1, 1, 1, 1);
    // Kept between frames, so that a frame allocates nothing.
    static qx::DrawBatch batch;
    const bool buffers = qx::CurrentObjectPath() == qx::ObjectPath::Buffers;
    ForEachDrawnPlacement(content, mode, range, band, cameraX, level, cameraZ, [&](size_t i, int32_t k) {
        const TQX3DObject* object =
            static_cast<size_t>(k) < content.MapObjects.size() ? content.MapObjects[static_cast<size_t>(k)].get() : nullptr;
        if (object == nullptr)
            return;
        const TPlacement& p = content.Placements[i];
        if (buffers)
            object->AddTo(batch, p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
        else
            object->DrawAt(p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ);
    });
    batch.Draw();
}
