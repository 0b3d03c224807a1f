// Picks the text of the run's language.
#include "startup/texts.h"
#include "startup/session.h"

const char* Text(TextId id)
{
    return session.japanese ? kJapaneseTexts[id] : kEnglishTexts[id];
}
