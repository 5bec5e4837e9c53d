#include "platform/core/nls.h"

#include "platform/core/coreinternal.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

struct LocaleRow {
  const char* name;
  LCID lcid;
};

// POSIX locale names (language, or language_COUNTRY, with a script modifier where it matters).
constexpr LocaleRow kLocales[] = {
    {"af", 0x0436}, {"sq", 0x041C}, {"ar_AE", 0x3801}, {"ar_BH", 0x3C01}, {"ar_DZ", 0x1401}, {"ar_EG", 0x0C01},
    {"ar_IQ", 0x0801}, {"ar_JO", 0x2C01}, {"ar_KW", 0x3401}, {"ar_LB", 0x3001}, {"ar_LY", 0x1001},
    {"ar_MA", 0x1801}, {"ar_OM", 0x2001}, {"ar_QA", 0x4001}, {"ar_SA", 0x0401}, {"ar_SY", 0x2801},
    {"ar_TN", 0x1C01}, {"ar_YE", 0x2401}, {"hy", 0x042B}, {"eu", 0x042D}, {"be", 0x0423}, {"bg", 0x0402},
    {"ca", 0x0403}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"zh_SG", 0x1004},
    {"zh_TW", 0x0404}, {"hr", 0x041A}, {"cs", 0x0405}, {"da", 0x0406}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813},
    {"en_AU", 0x0C09}, {"en_BZ", 0x2809}, {"en_CA", 0x1009}, {"en_IE", 0x1809}, {"en_JM", 0x2009},
    {"en_NZ", 0x1409}, {"en_PH", 0x3409}, {"en_ZA", 0x1C09}, {"en_TT", 0x2C09}, {"en_GB", 0x0809},
    {"en_US", 0x0409}, {"et", 0x0425}, {"fa", 0x0429}, {"fi", 0x040B}, {"fo", 0x0438}, {"fr_FR", 0x040C},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_LU", 0x140C}, {"fr_CH", 0x100C}, {"ga_IE", 0x083C},
    {"gd", 0x043C}, {"de_DE", 0x0407}, {"de_AT", 0x0C07}, {"de_LI", 0x1407}, {"de_LU", 0x1007},
    {"de_CH", 0x0807}, {"el", 0x0408}, {"he", 0x040D}, {"hi", 0x0439}, {"hu", 0x040E}, {"is", 0x040F},
    {"id", 0x0421}, {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"ja", 0x0411}, {"ko", 0x0412}, {"lv", 0x0426},
    {"lt", 0x0427}, {"mk", 0x042F}, {"ms_MY", 0x043E}, {"ms_BN", 0x083E}, {"mt", 0x043A}, {"mr", 0x044E},
    {"pl", 0x0415}, {"pt_PT", 0x0816}, {"pt_BR", 0x0416}, {"rm", 0x0417}, {"ro", 0x0418}, {"ro_MD", 0x0818},
    {"ru", 0x0419}, {"ru_MD", 0x0819}, {"sa", 0x044F}, {"tn", 0x0432}, {"sl", 0x0424}, {"sk", 0x041B},
    {"hsb_DE", 0x042E}, {"es_ES", 0x0C0A}, {"es_AR", 0x2C0A}, {"es_BO", 0x400A}, {"es_CL", 0x340A},
    {"es_CO", 0x240A}, {"es_CR", 0x140A}, {"es_DO", 0x1C0A}, {"es_EC", 0x300A}, {"es_GT", 0x100A},
    {"es_HN", 0x480A}, {"es_MX", 0x080A}, {"es_NI", 0x4C0A}, {"es_PA", 0x180A}, {"es_PE", 0x280A},
    {"es_PR", 0x500A}, {"es_PY", 0x3C0A}, {"es_SV", 0x440A}, {"es_UY", 0x380A}, {"es_VE", 0x200A},
    {"sw", 0x0441}, {"sv_SE", 0x041D}, {"sv_FI", 0x081D}, {"ta", 0x0449}, {"tt", 0x0444}, {"th", 0x041E},
    {"tr", 0x041F}, {"ts", 0x0431}, {"uk", 0x0422}, {"ur", 0x0420}, {"vi", 0x042A}, {"xh", 0x0434},
    {"yi", 0x043D}, {"zu", 0x0435}, {"ka", 0x0437}, {"se_NO", 0x043B}, {"kk", 0x043F}, {"ky", 0x0440},
    {"bn_IN", 0x0445}, {"pa_IN", 0x0446}, {"gu", 0x0447}, {"te", 0x044A}, {"kn", 0x044B},
    {"ml", 0x044C}, {"mn", 0x0450}, {"cy", 0x0452}, {"gl", 0x0456}, {"kok", 0x0457},
    {"syr", 0x045A}, {"dv", 0x0465}, {"quz_BO", 0x046B}, {"mi", 0x0481}, {"se_SE", 0x083B},
    {"quz_EC", 0x086B}, {"se_FI", 0x0C3B}, {"quz_PE", 0x0C6B}, {"hr_BA", 0x101A}, {"smj_NO", 0x103B},
    {"smj_SE", 0x143B}, {"fr_MC", 0x180C}, {"sma_NO", 0x183B}, {"sma_SE", 0x1C3B}, {"sms_FI", 0x203B},
    {"smn_FI", 0x243B}, {"en_ZW", 0x3009}, {"az", 0x042C}, {"az_AZ@cyrillic", 0x082C}, {"nb", 0x0414},
    {"no", 0x0414}, {"nn", 0x0814}, {"sr", 0x0C1A}, {"sr_RS@latin", 0x081A}, {"sr_ME", 0x081A},
    {"uz", 0x0443}, {"uz_UZ@cyrillic", 0x0843}, {"iw", 0x040D}, {"bs", 0x141A},
};

constexpr LCID kEnglishUS = 0x0409;

std::string_view LanguageOf(std::string_view name) { return name.substr(0, name.find_first_of("_.@")); }

LCID LcidOfLocale(std::string_view locale) {
  // "ll_CC.codeset@modifier": the code set plays no part.
  const size_t at = locale.find('@');
  const std::string_view modifier = at == std::string_view::npos ? std::string_view() : locale.substr(at);
  const std::string_view base = locale.substr(0, std::min(locale.find('.'), at));
  const std::string withModifier = std::string(base) + std::string(modifier);
  for (const LocaleRow& row : kLocales)
    if (withModifier == std::string_view(row.name)) return row.lcid;
  for (const LocaleRow& row : kLocales)
    if (base == std::string_view(row.name)) return row.lcid;
  // A language alone, or a country the table lacks: the language's main country (sublanguage 1)
  // when the table has it, else its first row.
  const std::string_view language = LanguageOf(base);
  LCID first = 0;
  for (const LocaleRow& row : kLocales) {
    if (LanguageOf(row.name) != language) continue;
    if ((row.lcid >> 10) == 1) return row.lcid;
    if (!first) first = row.lcid;
  }
  return first ? first : kEnglishUS;
}

LCID LcidOfEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::optional<std::string> value = qvcore::ReadEnvironment(variable);
    if (value && !value->empty()) return LcidOfLocale(*value);
  }
  return kEnglishUS;
}

}  // namespace

LCID GetUserDefaultLCID() { return LcidOfEnvironment(); }

LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetUserDefaultLCID()); }

LCID GetSystemDefaultLCID() { return LcidOfEnvironment(); }
