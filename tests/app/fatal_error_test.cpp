// The fatal-error messages users have always seen, word for word, built from
// their shared parts.
#include "app/fatal_error.h"

#include <gtest/gtest.h>

namespace fv {
namespace {

TEST(fatal_error, messages_keep_their_exact_texts) {
    const struct {
        std::string built;
        const char* shown;
    } cases[] = {
        {fatal_error_text("loading spreadsheet", fatal_error_ending::comma),
         "Fatal error loading spreadsheet.  Please try again.  If this error persists, please call technical support,"},
        {fatal_error_text("in rate selection dialog", fatal_error_ending::comma),
         "Fatal error in rate selection dialog.  Please try again.  If this error persists, please call technical "
         "support,"},
        {fatal_error_text("creating displays", fatal_error_ending::full_stop),
         "Fatal error creating displays.  Please try again.  If this error persists, please call technical support."},
        {fatal_error_text(while_calculating, fatal_error_ending::full_stop),
         "Fatal error calculating the subsidy or creating displays.  Please try again.  If this error persists, "
         "please call technical support."},
        {fatal_error_first_sentence(while_calculating),
         "Fatal error calculating the subsidy or creating displays.  Please try again."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.built, c.shown);
}

}  // namespace
}  // namespace fv
