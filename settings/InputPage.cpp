#include "InputPage.h"

#include "InputLevelBar.h"
#include "framework/HandlerGuard.h"

#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The levels are read as often as the server sends them (25 a second).
constexpr int LevelIntervalMs = 40;
constexpr double QuietestDb = -60;
constexpr int LevelColumnWidth = 80;

QTreeWidgetItem* AddRow(QTreeWidget* list, const std::string& text, const std::string& source)
{
    auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(text)});
    row->setData(0, Qt::UserRole, QByteArray::fromStdString(source)); // a name's own bytes
    row->setToolTip(0, QString::fromStdString(text));
    list->addTopLevelItem(row);
    list->setItemWidget(row, 1, new TInputLevelBar(list));
    return row;
}
} // namespace

double InputBarFraction(float peak)
{
    if (!(peak > 0))
        return 0;
    const double db = 20 * std::log10(static_cast<double>(peak));
    return std::clamp((db - QuietestDb) / -QuietestDb, 0.0, 1.0);
}

std::string DefaultInputText(const std::string& description)
{
    return description.empty() ? "Default input" : "Default input (" + description + ")";
}

TInputPage::TInputPage(QWidget* page, const QRect& area, std::string chosen, WatchFactory watch)
    : QWidget(page), chosen_(std::move(chosen)), openWatch_(std::move(watch))
{
    setObjectName("InputPage");
    setGeometry(area);
    lvInput = new QTreeWidget(this);
    lvInput->setObjectName("lvInput");
    lvInput->setGeometry(0, 0, area.width(), area.height());
    lvInput->setRootIsDecorated(false);
    lvInput->setAllColumnsShowFocus(true);
    lvInput->setSelectionMode(QAbstractItemView::SingleSelection);
    lvInput->setHeaderLabels({"Input", "Level"});
    // The names take what the bars leave; a long one ends in "..." and shows whole as a tip.
    lvInput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvInput->header()->setStretchLastSection(false);
    lvInput->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvInput->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    lvInput->setColumnWidth(1, LevelColumnWidth);
    levelTimer_ = new QTimer(this);
    levelTimer_->setInterval(LevelIntervalMs);
    connect(levelTimer_, &QTimer::timeout, this, [this] { framework::Guarded([this] { ShowLevels(); }); });
}

TInputPage::~TInputPage() = default;

std::string TInputPage::Chosen() const
{
    const QTreeWidgetItem* row = lvInput->currentItem();
    if (!row || !row->isSelected())
        return chosen_;
    return row->data(0, Qt::UserRole).toByteArray().toStdString();
}

TInputLevelBar* TInputPage::Bar(int row) const
{
    return static_cast<TInputLevelBar*>(lvInput->itemWidget(lvInput->topLevelItem(row), 1));
}

void TInputPage::showEvent(QShowEvent*)
{
    framework::Guarded([this] { Fill(); });
}

void TInputPage::hideEvent(QHideEvent*)
{
    levelTimer_->stop();
    // The streams on the server end with the page: nothing listens while it is not shown.
    watch_.reset();
}

void TInputPage::Fill()
{
    chosen_ = Chosen();
    watch_ = openWatch_ ? openWatch_() : nullptr;
    platform::SoundInputList inputs;
    const bool answered = watch_ && watch_->List(inputs);

    lvInput->clear();
    std::vector<std::string> watched;
    QTreeWidgetItem* selected =
        AddRow(lvInput, DefaultInputText(platform::DescriptionOf(inputs, inputs.DefaultName)), "");
    watched.push_back(inputs.DefaultName);
    for (const platform::SoundInput& input : inputs.Inputs) {
        QTreeWidgetItem* row = AddRow(lvInput, input.Description, input.Name);
        watched.push_back(input.Name);
        if (input.Name == chosen_)
            selected = row;
    }
    // An input that is not there now (a headset unplugged) stays chosen until another is picked.
    if (!chosen_.empty() && selected == lvInput->topLevelItem(0))
        selected = AddRow(lvInput, chosen_ + " (not connected)", chosen_);
    lvInput->setCurrentItem(selected);
    lvInput->scrollToItem(selected);

    if (answered) {
        watch_->Watch(watched);
        levelTimer_->start();
    }
}

void TInputPage::ShowLevels()
{
    if (!watch_)
        return;
    const std::vector<float> peaks = watch_->Peaks();
    const int rows = std::min(lvInput->topLevelItemCount(), static_cast<int>(peaks.size()));
    for (int i = 0; i < rows; ++i)
        Bar(i)->SetLevel(InputBarFraction(peaks[static_cast<size_t>(i)]));
}
