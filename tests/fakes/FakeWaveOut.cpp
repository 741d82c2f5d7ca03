#include "FakeWaveOut.h"

#include <QCoreApplication>

namespace fakes {

class FakeWaveOut::Output : public platform::WaveOut {
public:
    explicit Output(FakeWaveOut& fake) : fake_(fake) {}
    ~Output() override { Close(); }
    void Write(platform::WaveHeader* header) override
    {
        fake_.calls.push_back("write");
        fake_.writes.push_back({header, std::vector<uint8_t>(header->Data, header->Data + header->BufferLength)});
        fake_.writeLengths.push_back(header->BufferLength);
        fake_.written.insert(fake_.written.end(), header->Data, header->Data + header->BufferLength);
        fake_.queue_.Push(header);
        ++fake_.queued_;
    }
    bool Gone() const override { return fake_.gone; }
    void Reset() override
    {
        fake_.calls.push_back("reset");
        fake_.ReturnQueued();
    }
    void Close() override
    {
        if (closed_)
            return;
        closed_ = true;
        fake_.calls.push_back("close");
        fake_.ReturnQueued();
        if (fake_.current_ == this)
            fake_.current_ = nullptr;
    }

private:
    FakeWaveOut& fake_;
    bool closed_ = false;
};

FakeWaveOut::FakeWaveOut()
{
    platform::SetWaveOutOpener([this](const platform::WaveFormat& format, platform::WaveDoneNotice notice,
                                   std::string& error) -> std::unique_ptr<platform::WaveOut> {
        opens.push_back(format);
        calls.push_back("open");
        if (openFails) {
            error = "no device";
            return nullptr;
        }
        notice_ = std::move(notice);
        auto output = std::make_unique<Output>(*this);
        current_ = output.get();
        return output;
    });
}

FakeWaveOut::~FakeWaveOut()
{
    platform::SetWaveOutOpener({});
}

void FakeWaveOut::ReturnQueued()
{
    while (ReturnNext()) {
    }
}

bool FakeWaveOut::ReturnNext()
{
    if (queue_.Empty() || !current_)
        return false;
    --queued_;
    queue_.HandBackFront(current_, notice_);
    return true;
}

int FakeWaveOut::ReturnAll()
{
    int returned = 0;
    while (ReturnNext()) {
        ++returned;
        // The window handles the message, which may write the buffer again.
        QCoreApplication::processEvents();
    }
    return returned;
}

} // namespace fakes
