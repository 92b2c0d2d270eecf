#include "Camera.h"

namespace vinarca {

std::unique_ptr<Camera> makeQtCamera()
{
    return nullptr;
}

} // namespace vinarca
