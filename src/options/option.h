#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Request;

// How front ends name one option and what they say of it: its names ("-l,--l", the long one
// last), the form of its value ("INT"; empty for a flag) and its help, one paragraph. The help is
// made when asked for, so that it may quote other tables.
struct OptionText
{
    const char* pszNames;
    std::string strForm;
    std::function<std::string()> help;

    OptionText(const char* pszNamesIn, std::string strFormIn, const char* pszHelp)
        : pszNames(pszNamesIn),
          strForm(std::move(strFormIn)),
          help([pszHelp] { return std::string(pszHelp); })
    {}
    OptionText(const char* pszNamesIn, std::string strFormIn, std::function<std::string()> helpIn)
        : pszNames(pszNamesIn), strForm(std::move(strFormIn)), help(std::move(helpIn))
    {}
};

// How an option's values are written: read from text (throwing RequestError, one line naming the
// option strName), shown (for the default in the help) and, for a value of a table of names,
// listed.
template <typename T>
struct ValueForm
{
    std::function<T(const std::string& strName, const std::string& strText)> read;
    std::function<std::string(const T&)> show;        // empty: the default is not shown
    std::function<std::vector<std::string>()> names;  // empty: any text of the form
};

// Which options go together; the message is one line in which {option} stands for this option's
// name and {other} for the other's.
//   kExcludes  each of aOthers given is refused, when this option is given (or, where pCondition
//              is set, when it holds of the request, whatever gave it);
//   kNeeds     one of aOthers at least must be given with this option;
//   kRequires  this option is refused where pCondition does not hold of the request.
struct OptionRule
{
    enum class Kind
    {
        kExcludes,
        kNeeds,
        kRequires,
    };
    Kind kind;
    std::vector<std::string> aOthers;
    const char* pszMessage;
    bool (*pCondition)(const Request&) = nullptr;
};

inline OptionRule Excludes(std::vector<std::string> aOthers, const char* pszMessage,
                           bool (*pCondition)(const Request&) = nullptr)
{
    return OptionRule{OptionRule::Kind::kExcludes, std::move(aOthers), pszMessage, pCondition};
}
inline OptionRule Needs(std::vector<std::string> aOthers, const char* pszMessage)
{
    return OptionRule{OptionRule::Kind::kNeeds, std::move(aOthers), pszMessage, nullptr};
}
inline OptionRule Requires(bool (*pCondition)(const Request&), const char* pszMessage)
{
    return OptionRule{OptionRule::Kind::kRequires, {}, pszMessage, pCondition};
}

// One option, whatever its value: what every front end and the plan's rules read. Options are
// declared once each (options/option_table.h) and made known in that order, which is the order
// of --help and of the README's table.
class COptionBase
{
public:
    COptionBase(const COptionBase&) = delete;
    COptionBase& operator=(const COptionBase&) = delete;

    const std::string& Names() const { return m_strNames; }
    // The long name, "--lmax": the one messages, rules and Python's keywords go by.
    const std::string& Name() const { return m_strName; }
    const std::string& Form() const { return m_strForm; }
    std::string Help() const { return m_help(); }
    bool IsFlag() const { return m_strForm.empty(); }
    bool IsRepeatable() const { return m_bRepeatable; }
    // Given alone, without a value (--table without its LMAX).
    bool IsValueOptional() const { return m_bValueOptional; }
    const std::vector<OptionRule>& Rules() const { return m_aRules; }
    // The place of the option's value in a request.
    size_t Index() const { return m_nIndex; }

    // The default as --help shows it; empty when there is none to show.
    virtual std::string DefaultText() const = 0;
    // The names the option takes, for a value from a table of names; empty otherwise.
    virtual std::vector<std::string> ValueNames() const = 0;
    // Reads the value (empty for a flag, and for a value left out) into the request: a repeatable
    // option adds it, any other replaces what it held. Throws RequestError naming the option.
    virtual void Apply(const std::string& strText, Request& request) const = 0;

protected:
    COptionBase(const OptionText& text, std::vector<OptionRule> aRules, bool bRepeatable,
                bool bValueOptional);
    ~COptionBase() = default;

private:
    std::string m_strNames;
    std::string m_strName;
    std::string m_strForm;
    std::function<std::string()> m_help;
    std::vector<OptionRule> m_aRules;
    bool m_bRepeatable;
    bool m_bValueOptional;
    size_t m_nIndex;
};

// Every option, in the order of their declaration.
const std::vector<const COptionBase*>& AllOptions();

// The option of that name ("--size" or "-l"); nullptr when there is none.
const COptionBase* FindOption(const std::string& strName);

// An option whose value is a T: the key a request's value is read by, with its default.
template <typename T>
class COption : public COptionBase
{
public:
    // Everything said of the option: its text, the form of its value and its default, if any,
    // the rules it brings.
    struct Declaration
    {
        OptionText text;
        ValueForm<T> form;
        std::optional<T> defaultValue;
        std::vector<OptionRule> aRules;
        bool bValueOptional = false;

        Declaration&& Default(T value) &&
        {
            defaultValue = std::move(value);
            return std::move(*this);
        }
        Declaration&& Rule(OptionRule rule) &&
        {
            aRules.push_back(std::move(rule));
            return std::move(*this);
        }
        Declaration&& ValueOptional() &&
        {
            bValueOptional = true;
            return std::move(*this);
        }
    };

    explicit COption(Declaration declaration, bool bRepeatable = false)
        : COptionBase(declaration.text, std::move(declaration.aRules), bRepeatable,
                      declaration.bValueOptional),
          m_form(std::move(declaration.form)),
          m_default(std::move(declaration.defaultValue))
    {}

    const std::optional<T>& Default() const { return m_default; }
    const ValueForm<T>& Form() const { return m_form; }

    std::string DefaultText() const override
    {
        return m_default && m_form.show ? m_form.show(*m_default) : "";
    }
    std::vector<std::string> ValueNames() const override
    {
        return m_form.names ? m_form.names() : std::vector<std::string>();
    }
    void Apply(const std::string& strText, Request& request) const override;

private:
    ValueForm<T> m_form;
    std::optional<T> m_default;
};

// An option given any number of times, each value added to the list: its value is the list.
template <typename T>
class CListOption : public COption<std::vector<T>>
{
public:
    using Item = T;
    struct Declaration
    {
        OptionText text;
        ValueForm<T> form;
        std::vector<OptionRule> aRules;

        Declaration&& Rule(OptionRule rule) &&
        {
            aRules.push_back(std::move(rule));
            return std::move(*this);
        }
    };

    explicit CListOption(Declaration declaration)
        : COption<std::vector<T>>(
              typename COption<std::vector<T>>::Declaration{std::move(declaration.text),
                                                            ValueForm<std::vector<T>>{}, std::nullopt,
                                                            std::move(declaration.aRules)},
              true),
          m_item(std::move(declaration.form))
    {}

    void Apply(const std::string& strText, Request& request) const override;

private:
    ValueForm<T> m_item;
};

// A flag: true when given.
using CFlagOption = COption<bool>;

// The declarations' beginnings, which read as the table: Declare<T>(text, form), then .Default(),
// .Rule() as needed.
template <typename T>
typename COption<T>::Declaration Declare(OptionText text, ValueForm<T> form)
{
    return typename COption<T>::Declaration{std::move(text), std::move(form), std::nullopt, {}};
}
template <typename T>
typename CListOption<T>::Declaration DeclareList(OptionText text, ValueForm<T> form)
{
    return typename CListOption<T>::Declaration{std::move(text), std::move(form), {}};
}
COption<bool>::Declaration DeclareFlag(const char* pszNames, const char* pszHelp);
