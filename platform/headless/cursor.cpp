#include "platform/cursor.h"

namespace platform::backend {

// There is no real pointer; the confinement is only kept (see CursorClip).
void ConfineNativePointer(const RECT*) {}

} // namespace platform::backend
