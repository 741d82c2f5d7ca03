#include "SoundInputs.h"

#include <algorithm>

namespace platform {
namespace {

struct Query {
    SoundInputList* list;
    bool serverDone = false;
    bool sourcesDone = false;
};

void ServerInfo(pa_context*, const pa_server_info* info, void* self)
{
    auto* query = static_cast<Query*>(self);
    if (info && info->default_source_name)
        query->list->DefaultName = info->default_source_name;
    query->serverDone = true;
}

void SourceInfo(pa_context*, const pa_source_info* info, int end, void* self)
{
    auto* query = static_cast<Query*>(self);
    if (end != 0 || !info) {
        query->sourcesDone = true;
        return;
    }
    query->list->Inputs.push_back({info->name ? info->name : "",
        info->description ? info->description : (info->name ? info->name : ""),
        info->monitor_of_sink != PA_INVALID_INDEX});
}

// Waits for op's callbacks to set done; false when the operation failed or took too long.
bool Await(PulseConnection& connection, pa_operation* op, const bool& done)
{
    if (!op)
        return false;
    const bool finished = connection.WaitUntil([op, &done] {
        if (done)
            return 1;
        return pa_operation_get_state(op) == PA_OPERATION_RUNNING ? 0 : -1;
    });
    if (!finished)
        pa_operation_cancel(op);
    pa_operation_unref(op);
    return finished && done;
}

} // namespace

bool ReadSoundInputs(PulseConnection& connection, SoundInputList& list)
{
    SoundInputList read;
    Query query{&read};
    pa_context* context = connection.Context();
    if (!Await(connection, pa_context_get_server_info(context, &ServerInfo, &query), query.serverDone)
        || !Await(connection, pa_context_get_source_info_list(context, &SourceInfo, &query), query.sourcesDone))
        return false;
    list = std::move(read);
    return true;
}

std::string DescriptionOf(const SoundInputList& list, const std::string& name)
{
    const auto found = std::find_if(list.Inputs.begin(), list.Inputs.end(),
        [&name](const SoundInput& input) { return input.Name == name; });
    return found != list.Inputs.end() ? found->Description : std::string();
}

} // namespace platform
