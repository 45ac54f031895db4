// The rate selection dialog.
#include "gui/rate_selection_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/conflict_resolution.h"
#include "app/settings_keys.h"
#include "gui/display_rates_dialog.h"
#include "gui/enter_filename_dialog.h"
#include "gui/zero_subsidy_dialog.h"
#include "rates/own_rates.h"
#include "util/text_error.h"

namespace fv {

namespace {

int position_of(const std::vector<rate_set>& items, const std::string& title) {
    for (std::size_t n = 0; n < items.size(); ++n)
        if (titles_equal(items[n].title, title)) return static_cast<int>(n);
    return -1;
}

}  // namespace

std::string own_file_name_message(const std::string& name) {
    return "The name in the box marked \"Filename for your own assumptions\"\n     (" + name +
           ")\ndoes not exist and could not be created.\nPlease try another name, folder, or drive.";
}

std::optional<std::string> reload_own_rates(document_rates& rates, rate_dialog_memory& memory,
                                            const std::string& own_file) {
    if (memory.initialised) {
        memory.file_box = own_file;
        memory.committed_name = own_file;
    }
    try {
        rates.rates.load_own_file(own_file);
        memory.last_loaded = own_file;
        memory.bad_file_name = false;
        return std::nullopt;
    } catch (const text_error& failure) {
        // Forget the path, so nothing can be saved over the file.
        rates.rates.load_own_file("");
        memory.last_loaded.clear();
        memory.bad_file_name = !own_file.empty();
        return failure.text();
    }
}

rate_selection_dialog::rate_selection_dialog(settings_store& store, document_rates& rates,
                                             rate_dialog_memory& memory, rate_dialog_environment environment,
                                             dialog_services services, QWidget* parent)
    : QDialog(parent),
      store_(store),
      rates_(rates),
      memory_(memory),
      environment_(std::move(environment)),
      services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Rate Selection Dialog"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    categories_ = new QButtonGroup(this);
    const char* const labels[3] = {"Use &actual rates", "Use &Budget Assumptions", "Use &own assumptions"};
    // Each source's button and list on the row of its list position, which is also the button's id.
    for (const rate_source source : rate_sources) {
        const std::size_t row = list_position(source);
        auto* button = new QRadioButton(QString::fromUtf8(labels[row]), this);
        auto* combo = new QComboBox(this);
        combo->setMinimumContentsLength(30);
        categories_->addButton(button, static_cast<int>(row));
        grid->addWidget(button, static_cast<int>(row), 0);
        grid->addWidget(combo, static_cast<int>(row), 1);
        category_buttons_[row] = button;
        lists_[row] = combo;
    }
    layout->addLayout(grid);
    curve_ = new yield_curve_view(this);
    layout->addWidget(curve_);
    connect(categories_, &QButtonGroup::idClicked, this,
            [this](int id) { delete_->setEnabled(rate_source_at(id) == rate_source::own); });

    auto* name_text = new QLabel(
        QStringLiteral("Filename for your own assumptions.\n(Enter a new name or change an existing name and click "
                       "on the \"Use this filename now\" button or click on the \"Explain\" button, below, for more "
                       "information)."),
        this);
    name_text->setWordWrap(true);
    layout->addWidget(name_text);
    auto* name_row = new QHBoxLayout;
    file_name_ = new QLineEdit(this);
    auto* new_name = new QPushButton(QStringLiteral("Enter new filename"), this);
    name_row->addWidget(file_name_);
    name_row->addWidget(new_name);
    layout->addLayout(name_row);

    auto* use = new QPushButton(QStringLiteral("&USE FOR THIS DOCUMENT ONLY"), this);
    auto* save = new QPushButton(QStringLiteral("&SAVE AS DEFAULT"), this);
    create_curve_ = new QPushButton(QStringLiteral("Create new &Yield curve"), this);
    create_flat_ = new QPushButton(QStringLiteral("Create new &Flat rate"), this);
    auto* zero = new QPushButton(QStringLiteral("&Zero subsidy rate"), this);
    delete_ = new QPushButton(QStringLiteral("&Delete highlighted rate"), this);
    auto* view = new QPushButton(QStringLiteral("&View all rates..."), this);
    auto* explain = new QPushButton(QStringLiteral("&Explain"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->hide();
    use->setDefault(true);
    auto* buttons = new QGridLayout;
    QPushButton* const placed[] = {use, save, create_curve_, create_flat_, zero, delete_, view, explain};
    for (int n = 0; n < 8; ++n) buttons->addWidget(placed[n], n / 2, n % 2);
    layout->addLayout(buttons);

    auto on_click = [this](QPushButton* button, std::function<void()> work) {
        connect(button, &QPushButton::clicked, this, [this, work] { guarded(services_, work); });
    };
    on_click(use, [this] { accept(); });
    on_click(save, [this] {
        if (save_as_default()) QDialog::accept();
    });
    on_click(cancel, [this] { reject(); });
    on_click(new_name, [this] { enter_new_filename(); });
    on_click(create_curve_, [this] { create_yield_curve(); });
    on_click(create_flat_, [this] { create_flat_rate(); });
    on_click(zero, [this] { zero_subsidy_rate(); });
    on_click(delete_, [this] { delete_highlighted(); });
    on_click(view, [this] { view_all_rates(); });
    on_click(explain, [this] { services_.explain("explain-rates"); });

    ask_yield_curve = [this](const yield_curve_entry& shown) -> std::optional<yield_curve_entry> {
        yield_curve_dialog dialog(services_, shown, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.entry();
    };
    ask_flat_rate = [this](const flat_rate_entry* shown) -> std::optional<flat_rate_entry> {
        flat_rate_dialog dialog(store_, services_, shown, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.entry();
    };
    ask_file_name = [this](const std::string& current) { return ask_own_file_name(current, this); };
    open_zero_subsidy = [this](const rate_set* chosen) {
        zero_subsidy_dialog dialog(chosen, services_, this);
        dialog.exec();
    };

    if (!memory_.initialised) open_first_time();
    fill_lists();

    // The highlighted set's curve follows the category and the lists.
    connect(categories_, &QButtonGroup::idToggled, this, [this] { show_highlighted_curve(); });
    for (QComboBox* combo : lists_)
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { show_highlighted_curve(); });
    show_highlighted_curve();
}

const rate_set* rate_selection_dialog::highlighted_set() const {
    const std::optional<rate_source> source = rate_source_at(categories_->checkedId());
    if (!source) return nullptr;
    const QComboBox* combo = list(*source);
    const auto& items = rates_.rates.list_of(*source);
    const int position = combo->currentIndex();
    if (!combo->isEnabled() || position < 0 || position >= static_cast<int>(items.size())) return nullptr;
    return &items[static_cast<std::size_t>(position)];
}

void rate_selection_dialog::show_highlighted_curve() { curve_->show_rate_set(highlighted_set()); }

QRadioButton* rate_selection_dialog::category_button(rate_source source) const {
    return category_buttons_[list_position(source)];
}
QComboBox* rate_selection_dialog::list(rate_source source) const { return lists_[list_position(source)]; }

void rate_selection_dialog::open_first_time() {
    memory_.initialised = true;
    std::string name = store_.read_text(settings::runtime_options, settings::own_filename, "");
    if (!name.empty()) {
        const std::string full = full_path_of(name);
        if (!full.empty()) name = full;
    } else if (rates_.selection.source == rate_source::own) {
        rates_.selection.source = rate_source::budget;
    }
    memory_.file_box = name;
    memory_.bad_file_name = false;
    memory_.committed_name = name;
    memory_.last_loaded = name;
    load_own(name);
    if (rates_.rates.own().empty() && rates_.selection.source == rate_source::own)
        rates_.selection.source = rate_source::budget;
}

bool rate_selection_dialog::load_own(const std::string& path) {
    if (const auto failure = reload_own_rates(rates_, memory_, path)) {
        services_.tell(*failure);
        return false;
    }
    return true;
}

void rate_selection_dialog::fill_lists() {
    file_name_->setText(file_name_to_qstring(memory_.file_box));
    for (const rate_source source : {rate_source::actual, rate_source::budget}) {
        QComboBox* combo = list(source);
        const auto& items = rates_.rates.list_of(source);
        combo->clear();
        for (const rate_set& item : items) combo->addItem(to_qstring(item.title));
        std::string& title = rates_.selection.title_of(source);
        const std::string& key =
            source == rate_source::actual ? settings::rate_item_actual : settings::rate_item_forecast;
        if (memory_.first_fill) title = store_.read_text(settings::runtime_options, key, "");
        const int position = position_of(items, title);
        combo->setCurrentIndex(items.empty() ? -1 : position < 0 ? 0 : position);
        if (!items.empty()) title = items[static_cast<std::size_t>(combo->currentIndex())].title;
    }
    memory_.first_fill = false;
    fill_own_list();
}

void rate_selection_dialog::fill_own_list() {
    QComboBox* combo = list(rate_source::own);
    combo->clear();
    const bool usable = !memory_.file_box.empty() && !memory_.bad_file_name;
    create_curve_->setEnabled(usable);
    create_flat_->setEnabled(usable);
    bool any = false;
    if (usable) {
        const auto& items = rates_.rates.own();
        for (const rate_set& item : items) combo->addItem(to_qstring(item.title));
        const int position = position_of(items, rates_.selection.title_of(rate_source::own));
        combo->setCurrentIndex(items.empty() ? -1 : position < 0 ? 0 : position);
        any = !items.empty();
    }
    category_button(rate_source::own)->setEnabled(any);
    combo->setEnabled(any);
    if (!any && rates_.selection.source == rate_source::own) rates_.selection.source = rate_source::budget;
    show_category();
}

void rate_selection_dialog::show_category() {
    category_button(rates_.selection.source)->setChecked(true);
    delete_->setEnabled(rates_.selection.source == rate_source::own);
}

bool rate_selection_dialog::take_values() {
    if (const auto checked = rate_source_at(categories_->checkedId())) rates_.selection.source = *checked;
    for (const rate_source source : {rate_source::actual, rate_source::budget}) {
        const auto& items = rates_.rates.list_of(source);
        const int position = list(source)->currentIndex();
        if (position >= 0 && position < static_cast<int>(items.size()))
            rates_.selection.title_of(source) = items[static_cast<std::size_t>(position)].title;
    }
    memory_.file_box = file_name_from_qstring(file_name_->text().trimmed());
    if (!check_file_name()) return false;
    const QComboBox* own = list(rate_source::own);
    rates_.selection.title_of(rate_source::own) =
        own->currentIndex() >= 0 && own->isEnabled() ? to_std(own->currentText()) : std::string();
    return true;
}

bool rate_selection_dialog::check_file_name() {
    if (memory_.file_box.empty()) {
        if (!memory_.last_loaded.empty() || rates_.rates.own_file_path()) {
            rates_.rates.load_own_file("");
            memory_.last_loaded.clear();
        }
        memory_.bad_file_name = false;
        fill_own_list();
        return true;
    }
    if (memory_.bad_file_name || memory_.file_box != memory_.last_loaded) {
        const std::string full = full_path_of(memory_.file_box);
        if (full.empty() || !open_or_create(full)) {
            services_.tell(own_file_name_message(full.empty() ? memory_.file_box : full));
            memory_.bad_file_name = true;
            fill_own_list();
            return false;
        }
        memory_.file_box = full;
        file_name_->setText(file_name_to_qstring(full));
        memory_.bad_file_name = false;
        const bool loaded = load_own(full);
        fill_own_list();
        return loaded;
    }
    return true;
}

bool rate_selection_dialog::use_for_this_document() {
    if (!take_values()) return false;
    memory_.committed_name = memory_.file_box;
    return true;
}

bool rate_selection_dialog::save_as_default() {
    if (!take_values()) return false;
    memory_.committed_name = memory_.file_box;
    const std::string& section = settings::runtime_options;
    store_.write_text(section, settings::own_filename, memory_.file_box);
    notify_own_rates_changed(true);
    write_rate_source(store_, rates_.selection.source);
    store_.write_text(section, settings::rate_item_forecast, rates_.selection.title_of(rate_source::budget));
    store_.write_text(section, settings::rate_item_own, rates_.selection.title_of(rate_source::own));
    store_.write_text(section, settings::rate_item_actual, rates_.selection.title_of(rate_source::actual));
    return true;
}

void rate_selection_dialog::cancel_choice() {
    memory_.bad_file_name = false;
    if (memory_.file_box != memory_.committed_name) {
        memory_.file_box = memory_.committed_name;
        file_name_->setText(file_name_to_qstring(memory_.file_box));
        load_own(memory_.file_box);
        fill_own_list();
    }
}

void rate_selection_dialog::accept() {
    bool done = false;
    guarded(services_, [&] { done = use_for_this_document(); });
    if (done) QDialog::accept();
}

void rate_selection_dialog::reject() {
    guarded(services_, [this] { cancel_choice(); });
    QDialog::reject();
}

void rate_selection_dialog::enter_new_filename() {
    std::string current = file_name_from_qstring(file_name_->text().trimmed());
    for (;;) {
        const std::optional<std::string> entry = ask_file_name(current);
        if (!entry) return;
        if (entry->empty()) {
            current.clear();
            break;
        }
        const std::string full = full_path_of(*entry);
        if (full.empty() || !open_or_create(full)) {
            services_.tell(own_file_name_message(full.empty() ? *entry : full));
            memory_.bad_file_name = true;
            current = *entry;
            continue;
        }
        current = full;
        break;
    }
    file_name_->setText(file_name_to_qstring(current));
    memory_.file_box = current;
    if (check_file_name()) store_.write_text(settings::runtime_options, settings::own_filename, memory_.file_box);
}

bool rate_selection_dialog::creation_allowed() {
    const bool taken = take_values();
    if (memory_.file_box.empty()) {
        services_.tell("Please enter a filename in the box marked \"Filename for your own assumptions\" before "
                       "creating new rates.");
        return false;
    }
    if (memory_.bad_file_name) {
        services_.tell("The filename in the box marked \"Filename for your own assumptions\"\nmust be fixed before "
                       "creating new rates.");
        return false;
    }
    return taken;
}

bool rate_selection_dialog::reload_before_change() {
    // Another program may have changed the file since it was read: the change
    // is made to what is there now, and a file that no longer reads as an
    // own-rate file is left alone.
    const bool loaded = load_own(memory_.file_box);
    fill_own_list();
    return loaded;
}

void rate_selection_dialog::add_own_set(const std::string& title, const std::array<double, 9>& values) {
    try {
        rates_.rates.add_own(rate_set(rate_source::own, title, values));
        rates_.rates.save_own_file();
    } catch (const text_error& failure) {
        services_.tell(failure.text());
        reload_before_change();  // what is in memory matches the file again
        return;
    }
    fill_own_list();
    notify_own_rates_changed(false);
}

void rate_selection_dialog::create_yield_curve() {
    if (!creation_allowed()) return;
    yield_curve_entry shown;
    for (;;) {
        const std::optional<yield_curve_entry> entry = ask_yield_curve(shown);
        if (!entry) return;
        shown = *entry;
        const title_check check = check_new_title(entry->title);
        if (check == title_check::stop) return;
        if (check == title_check::ask_again) continue;
        add_own_set(entry->title, entry->rates);
        return;
    }
}

rate_selection_dialog::title_check rate_selection_dialog::check_new_title(const std::string& title) {
    if (!reload_before_change()) return title_check::stop;
    if (position_of(rates_.rates.own(), title) >= 0) {
        services_.tell("The title duplicates the name of another set of rates.\nNames must be unique.\n");
        return title_check::ask_again;
    }
    const std::string refused = rate_collection::unstorable_title_message(title);
    if (!refused.empty()) {
        services_.tell(refused);
        return title_check::ask_again;
    }
    return title_check::take;
}

void rate_selection_dialog::create_flat_rate() {
    if (!creation_allowed()) return;
    std::optional<flat_rate_entry> shown;
    for (;;) {
        const std::optional<flat_rate_entry> entry = ask_flat_rate(shown ? &*shown : nullptr);
        if (!entry) return;
        shown = entry;
        const title_check check = check_new_title(entry->title);
        if (check == title_check::stop) return;
        if (check == title_check::ask_again) continue;
        std::array<double, 9> values;
        values.fill(flat_rate_value(entry->rate, entry->kind));
        add_own_set(entry->title, values);
        return;
    }
}

void rate_selection_dialog::delete_highlighted() {
    if (!take_values()) return;
    if (rates_.selection.source != rate_source::own) {
        services_.tell(
            "To delete an item in the \"own assumptions\" box:\n    Click on the radio button for \"own "
            "assumptions\"\n    Highlight the selection you want to delete\n\nYou cannot delete items in the first "
            "two dropdown lists.\nIf either of those radio buttons are highlighted when you try\nto delete an item, "
            "you will see this message.");
        return;
    }
    const std::string title = rates_.selection.title_of(rate_source::own);
    if (title.empty() || memory_.bad_file_name || memory_.file_box.empty()) return;
    if (environment_.document_using_title) {
        if (const auto other = environment_.document_using_title(title)) {
            services_.tell("This rate choice is currently in use in another window\nSee the window with the file "
                           "named:\n\n        " +
                           *other);
            return;
        }
    }
    if (!reload_before_change()) return;
    // The store cannot remove a key; an empty title reads as no title.
    const std::string& section = settings::runtime_options;
    if (titles_equal(store_.read_text(section, settings::rate_item_own, ""), title))
        store_.write_text(section, settings::rate_item_own, "");
    const int position = position_of(rates_.rates.own(), title);
    rates_.selection.title_of(rate_source::own).clear();
    if (position >= 0) {
        rates_.rates.remove_own(position);
        try {
            rates_.rates.save_own_file();
        } catch (const text_error& failure) {
            services_.tell(failure.text());
            reload_before_change();
            return;
        }
    }
    fill_own_list();
    notify_own_rates_changed(false);
}

void rate_selection_dialog::view_all_rates() {
    std::function<void()> copy;
    if (environment_.copy_listing) copy = [this] { environment_.copy_listing(rates_.rates); };
    const bool text_allowed = store_.read_int(settings::runtime_options, settings::do_wk_only, 0) == 0;
    display_rates_dialog dialog(rates_.rates, copy, text_allowed, this);
    dialog.exec();
}

void rate_selection_dialog::zero_subsidy_rate() {
    take_values();
    open_zero_subsidy(dialog_rate_set(rates_.rates, rates_.selection, rates_.selection.source));
}

void rate_selection_dialog::notify_own_rates_changed(bool new_default) {
    if (environment_.own_rates_changed) environment_.own_rates_changed(memory_.file_box, new_default);
}

}  // namespace fv
