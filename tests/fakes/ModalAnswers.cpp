#include "ModalAnswers.h"

namespace fakes {

ModalAnswers::ModalAnswers(framework::ModalAnswer fallback) : fallback_(std::move(fallback))
{
    framework::SetInteractionHook([this](const framework::ModalRequest& request) {
        seen_.push_back(request);
        if (answers_.empty())
            return fallback_;
        auto action = std::move(answers_.front());
        answers_.pop_front();
        return action(request);
    });
}

ModalAnswers::~ModalAnswers()
{
    InstallUnexpectedModalHook();
}

void InstallUnexpectedModalHook()
{
    framework::SetInteractionHook([](const framework::ModalRequest& request) {
        ADD_FAILURE() << "unexpected modal interaction: \"" << request.text << "\" (" << request.caption << ")";
        return framework::ModalAnswer{};
    });
}

void UnexpectedModalGuard::SetUp()
{
    InstallUnexpectedModalHook();
}

} // namespace fakes
