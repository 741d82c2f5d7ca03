#pragma once
// Test doubles for the interaction hook: a recorder that answers every modal request from a
// script, and the global guard that fails any test meeting an unscripted one.
#include "framework/Interaction.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace fakes {

// While alive, answers modal requests with the queued answers (then with `fallback`) and
// keeps every request it saw.
class ModalAnswers {
public:
    explicit ModalAnswers(framework::ModalAnswer fallback = {});
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    using Action = std::function<framework::ModalAnswer(const framework::ModalRequest&)>;
    void Queue(framework::ModalAnswer answer)
    {
        answers_.push_back([answer](const framework::ModalRequest&) { return answer; });
    }
    // An answer that works the request's form (or looks at the request) first.
    void QueueAction(Action action) { answers_.push_back(std::move(action)); }
    const std::vector<framework::ModalRequest>& Seen() const { return seen_; }

private:
    std::deque<Action> answers_;
    std::vector<framework::ModalRequest> seen_;
    framework::ModalAnswer fallback_;
};

// Installed for the whole run: a modal request that no test scripted is a failure, answered
// as dismissed so that nothing waits.
class UnexpectedModalGuard : public testing::Environment {
public:
    void SetUp() override;
};

void InstallUnexpectedModalHook();

} // namespace fakes
