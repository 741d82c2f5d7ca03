#include "Component.h"

namespace framework {

TComponent::TComponent(QObject* owner, const std::string& name) : QObject(owner)
{
    SetName(name);
}

} // namespace framework
