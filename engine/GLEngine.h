// The single OpenGL context of the editor and the global render state that
// no object owns: initial state, light 0, fog, projection, the blend-mode
// selector, end of frame, the screen feedback effect and the memory trim.
//
// Every call after InitEngine runs on the GUI thread with the context current.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "VectorMath.h"

#include <QSurfaceFormat>

class QOpenGLContext;
class QWindow;

struct EngineState {
    QOpenGLContext* RC = nullptr;  // owned; lives until the process ends
    QWindow* DC = nullptr;         // the scene surface, presented by EndFrame
    GLuint FeedbackTexture = 0;
};

EngineState& Engine();

// The scene's surface format: compatibility profile, double-buffered, depth
// 24, no stencil.  A window must carry it before it is created.
QSurfaceFormat SceneFormat();

// Switches read by the frame loop.
extern bool LightingEnabled;
extern bool FogEnabled;
extern bool FeedbackEnabled;

extern const TColor4 LightAmbient;
extern const TColor4 LightDiffuse;
extern const float LightPosition[4];
extern const GLenum FogModes[3];
extern const GLenum FogHints[3];

// Creates the compatibility-profile context on the window, makes it current
// and sets the initial state.  Returns false when no context could be made
// (the caller tells the user; the design has no message of its own for it).
bool InitEngine(int width, int height, QWindow* window);
// Makes the engine's context current again (after a dialog or another
// context stole it).  No-op before InitEngine.
void MakeEngineCurrent();

// Releases the context when its window goes away (the editor's main window
// closes only at exit; tests open several in one process).
void ShutdownEngine(QWindow* window);

void InitGLState();
void CreateFeedbackTexture();
void SetupLight();
void SetFog(uint8_t modeIndex, uint8_t hintIndex, const TColor4& color, float density, float start,
            float end);
void EnableFog();
void DisableFog();
void SetProjection(uint8_t ortho, int width, int height);
void SetBlend(uint8_t equation, uint8_t mode);
void EndFrame();
void TrimWorkingSet();
void DrawFeedback(uint8_t persistence, uint8_t mode);
void CopyScreenToFeedback();
