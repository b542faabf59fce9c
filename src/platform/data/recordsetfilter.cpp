#include "recordsetfilter.h"

#include "tsqladapter.h"

#include <QRegularExpression>

struct RecordsetFilter::Node
{
    enum Kind { And, Or, Compare };
    enum Op { Eq, Ne, Lt, Gt, Le, Ge, Like };
    Kind kind = Compare;
    std::unique_ptr<Node> left, right;
    int field = -1;
    Op op = Eq;
    QVariant operand; // QString or double
    QRegularExpression pattern;

    bool eval(const FieldLookup &row) const;
};

namespace {

using TSqlAdapter::Token;

class Parser
{
public:
    Parser(const QString &text, const RecordsetFilter::FieldIndex &index) : m_index(index)
    {
        for (const Token &t : TSqlAdapter::tokenize(text))
            if (t.kind != Token::Space && t.kind != Token::Comment)
                m_tokens.append(t);
    }

    std::unique_ptr<RecordsetFilter::Node> parse()
    {
        auto n = orExpr();
        if (n && m_pos != m_tokens.size())
            fail(QStringLiteral("višak teksta kod \"%1\"").arg(m_tokens[m_pos].text));
        return m_error.isEmpty() ? std::move(n) : nullptr;
    }
    QString error() const { return m_error; }

private:
    using NodePtr = std::unique_ptr<RecordsetFilter::Node>;

    const Token *peek() const { return m_pos < m_tokens.size() ? &m_tokens[m_pos] : nullptr; }
    bool peekWord(const char *w) const
    {
        const Token *t = peek();
        return t && t->kind == Token::Word &&
               t->text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool peekPunct(const QString &p) const
    {
        const Token *t = peek();
        return t && t->kind == Token::Punct && t->text == p;
    }
    NodePtr fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
        return nullptr;
    }

    NodePtr binary(RecordsetFilter::Node::Kind kind, NodePtr l, NodePtr r)
    {
        auto n = std::make_unique<RecordsetFilter::Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    NodePtr orExpr()
    {
        NodePtr l = andExpr();
        while (l && peekWord("OR")) {
            ++m_pos;
            NodePtr r = andExpr();
            if (!r)
                return nullptr;
            l = binary(RecordsetFilter::Node::Or, std::move(l), std::move(r));
        }
        return l;
    }

    NodePtr andExpr()
    {
        NodePtr l = primary();
        while (l && peekWord("AND")) {
            ++m_pos;
            NodePtr r = primary();
            if (!r)
                return nullptr;
            l = binary(RecordsetFilter::Node::And, std::move(l), std::move(r));
        }
        return l;
    }

    NodePtr primary()
    {
        if (++m_depth > 200)
            return fail(QStringLiteral("previše ugniježđenih zagrada"));
        NodePtr n;
        if (peekPunct(QStringLiteral("("))) {
            ++m_pos;
            n = orExpr();
            if (n && !peekPunct(QStringLiteral(")")))
                n = fail(QStringLiteral("nedostaje \")\""));
            else if (n)
                ++m_pos;
        } else {
            n = comparison();
        }
        --m_depth;
        return n;
    }

    NodePtr comparison()
    {
        const Token *f = peek();
        if (!f || (f->kind != Token::Word && f->kind != Token::Quoted))
            return fail(QStringLiteral("očekivano ime polja"));
        QString name = f->text;
        if (f->kind == Token::Quoted)
            name = name.mid(1, name.size() - 2);
        auto n = std::make_unique<RecordsetFilter::Node>();
        n->field = m_index(name);
        if (n->field < 0)
            return fail(QStringLiteral("nepoznato polje \"%1\"").arg(name));
        ++m_pos;

        const Token *o = peek();
        if (!o)
            return fail(QStringLiteral("nedostaje usporedba"));
        using Op = RecordsetFilter::Node::Op;
        if (peekWord("LIKE")) {
            n->op = Op::Like;
        } else if (o->kind == Token::Punct) {
            static const QHash<QString, Op> ops = {
                {QStringLiteral("="), Op::Eq},  {QStringLiteral("<>"), Op::Ne},
                {QStringLiteral("<"), Op::Lt},  {QStringLiteral(">"), Op::Gt},
                {QStringLiteral("<="), Op::Le}, {QStringLiteral(">="), Op::Ge}};
            const auto it = ops.constFind(o->text);
            if (it == ops.constEnd())
                return fail(QStringLiteral("nepoznata usporedba \"%1\"").arg(o->text));
            n->op = *it;
        } else {
            return fail(QStringLiteral("nepoznata usporedba \"%1\"").arg(o->text));
        }
        ++m_pos;

        bool negative = false;
        if (peekPunct(QStringLiteral("-"))) {
            negative = true;
            ++m_pos;
        }
        const Token *v = peek();
        if (!v)
            return fail(QStringLiteral("nedostaje vrijednost"));
        if (v->kind == Token::String && !negative) {
            QString s = v->text;
            if (s.startsWith(u'N') || s.startsWith(u'n'))
                s.remove(0, 1);
            s = s.mid(1, s.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
            n->operand = s;
        } else if (v->kind == Token::Number) {
            bool ok = false;
            const double d = v->text.toDouble(&ok);
            if (!ok)
                return fail(QStringLiteral("neispravan broj \"%1\"").arg(v->text));
            n->operand = negative ? -d : d;
        } else {
            return fail(QStringLiteral("neispravna vrijednost \"%1\"").arg(v->text));
        }
        ++m_pos;

        if (n->op == Op::Like) {
            const QString p = n->operand.toString();
            QString rx;
            for (const QChar c : p) {
                if (c == u'*' || c == u'%')
                    rx += QStringLiteral(".*");
                else
                    rx += QRegularExpression::escape(QString(c));
            }
            n->pattern = QRegularExpression(QRegularExpression::anchoredPattern(rx),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
        }
        return n;
    }

    QVector<Token> m_tokens;
    int m_pos = 0;
    int m_depth = 0;
    QString m_error;
    const RecordsetFilter::FieldIndex &m_index;
};

int compareValues(const QVariant &field, const QVariant &operand, bool *comparable)
{
    *comparable = true;
    if (operand.typeId() == QMetaType::Double) {
        bool ok = false;
        const double a = field.toDouble(&ok);
        if (!ok) {
            *comparable = false;
            return 0;
        }
        const double b = operand.toDouble();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    return QString::compare(field.toString(), operand.toString(), Qt::CaseInsensitive);
}

} // namespace

bool RecordsetFilter::Node::eval(const FieldLookup &row) const
{
    switch (kind) {
    case And:
        return left->eval(row) && right->eval(row);
    case Or:
        return left->eval(row) || right->eval(row);
    case Compare:
        break;
    }
    const QVariant v = row(field);
    if (v.isNull())
        return false; // a null matches no comparison, as in ADO
    if (op == Like)
        return pattern.match(v.toString()).hasMatch();
    bool comparable = false;
    const int c = compareValues(v, operand, &comparable);
    if (!comparable)
        return false;
    switch (op) {
    case Eq:
        return c == 0;
    case Ne:
        return c != 0;
    case Lt:
        return c < 0;
    case Gt:
        return c > 0;
    case Le:
        return c <= 0;
    case Ge:
        return c >= 0;
    case Like:
        break;
    }
    return false;
}

RecordsetFilter::RecordsetFilter(std::unique_ptr<Node> root) : m_root(std::move(root)) {}
RecordsetFilter::~RecordsetFilter() = default;

std::unique_ptr<RecordsetFilter> RecordsetFilter::parse(const QString &criteria,
                                                        const FieldIndex &index, QString *error)
{
    Parser p(criteria, index);
    auto root = p.parse();
    if (!root) {
        if (error)
            *error = QStringLiteral("Neispravan filter \"%1\": %2").arg(criteria, p.error());
        return nullptr;
    }
    return std::unique_ptr<RecordsetFilter>(new RecordsetFilter(std::move(root)));
}

bool RecordsetFilter::matches(const FieldLookup &row) const
{
    return m_root->eval(row);
}
