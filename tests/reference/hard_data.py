#!/usr/bin/env python3
"""Worksheets of data far from zero relative to their spread, with references by exact
rational arithmetic (checking only; nothing in the build runs this). Run from this folder:
    python3 hard_data.py
and it writes ../worksheets/hard_data_*.txt; their .expected.txt files are the calculated
worksheets, checked line by line against the references these carry.

A value is read as the nearest double, so the references are exact arithmetic on the
doubles the text stands for: Fraction(float(text)). Where that double differs from the
decimal in a printed digit (values near 1e12), the reference says so."""

from decimal import Decimal
from fractions import Fraction
import math

LEVELS = 6  # digits after the point of a %f field


def fixed(x):
    """x (a Fraction) correctly rounded to six decimals, as %f prints it."""
    q = x * 10**LEVELS
    n = math.floor(q)
    r = q - n
    if r > Fraction(1, 2) or (r == Fraction(1, 2) and n % 2 == 1):
        n += 1
    sign = '-' if n < 0 else ''
    n = abs(n)
    return f'{sign}{n // 10**LEVELS}.{n % 10**LEVELS:06d}'


def read(text):
    return Fraction(float(text))


def mean(v):
    return sum(v) / len(v)


def squares(v):
    m = mean(v)
    return sum((x - m) ** 2 for x in v)


def log10(x):
    return Decimal(x.numerator).log10() - Decimal(x.denominator).log10()


def table(name, labels, rows):
    lines = [name + '={\t' + '\t'.join(labels)]
    lines += [f'r{i + 1}\t' + '\t'.join(row) for i, row in enumerate(rows)]
    return '\n'.join(lines) + '\n}\n'


# One-way and two-way designs: nine groups of 21 values about 1.4, 1.3 or 1.5, each the
# centre and ten values 0.1 either side (the StRD SmLs design, certified F 21 on 8 and
# 180 df). Column c is rotated by c rows, so the rows carry no common pattern and the
# two-way error is not 0.
CENTRES = ['1.4', '1.3', '1.5', '1.3', '1.5', '1.3', '1.5', '1.3', '1.5']


def design(offset):
    columns = []
    for c, centre in enumerate(CENTRES):
        centre = Decimal(centre) + offset
        values = [centre] + [centre + s * Decimal('0.1') for _ in range(10) for s in (-1, 1)]
        columns.append([str(v) for v in values[c:] + values[:c]])
    return columns


def one_way_references(columns):
    groups = [[read(t) for t in column] for column in columns]
    values = [x for g in groups for x in g]
    grand = mean(values)
    k, n = len(groups), len(values)
    treatment = sum(len(g) * (mean(g) - grand) ** 2 for g in groups)
    error = sum(squares(g) for g in groups)
    error_df = n - k
    ms_t, ms_e = treatment / (k - 1), error / error_df
    variances = [squares(g) / (len(g) - 1) for g in groups]
    m = (Decimal(error_df) * log10(sum((len(g) - 1) * v for g, v in zip(groups, variances)) / error_df)
         - sum(Decimal(len(g) - 1) * log10(v) for g, v in zip(groups, variances))) * Decimal('2.3026')
    c = (sum(Fraction(1, len(g) - 1) for g in groups) - Fraction(1, error_df)) / (3 * (k - 1)) + 1
    lsd = sorted({fixed((mean(a) - mean(b)) ** 2 / (Fraction(1, len(a)) + Fraction(1, len(b))) / ms_e)
                  for i, a in enumerate(groups) for b in groups[i + 1:]}, key=float)
    gaps = sorted({fixed(abs(mean(a) - mean(b))) for i, a in enumerate(groups) for b in groups[i + 1:]},
                  key=float)
    rows = [[g[r] for g in groups] for r in range(len(groups[0]))]
    a_ss = len(rows) * sum((mean(g) - grand) ** 2 for g in groups)
    b_ss = k * sum((mean(row) - grand) ** 2 for row in rows)
    e_ss = sum((rows[r][c] - mean(rows[r]) - mean(groups[c]) + grand) ** 2
               for r in range(len(rows)) for c in range(k))
    e_df = (k - 1) * (len(rows) - 1)
    return [
        f'reference: SS {fixed(treatment)} and {fixed(error)} on {k - 1} and {error_df} df, MS {fixed(ms_t)} and '
        f'{fixed(ms_e)}, F {fixed(ms_t / ms_e)}, total SS {fixed(squares(values))}',
        f'reference: Bartlett m {float(m):.3g}, c {fixed(c)}, X2 {float(m) / float(c):.3g}; '
        f'LSD Fcal {", ".join(lsd)}; Duncan d {", ".join(gaps)}',
        f'reference: two-way A SS {fixed(a_ss)} F {fixed(a_ss / (k - 1) / (e_ss / e_df))}, '
        f'B SS {fixed(b_ss)} F {fixed(b_ss / (len(rows) - 1) / (e_ss / e_df))}, '
        f'error SS {fixed(e_ss)} MS {fixed(e_ss / e_df)}',
    ]


def one_way_worksheet():
    out = ['Nine groups of 21 values at offsets 0, 1e6 and 1e12 (the StRD SmLs design, rows rotated per',
           'column); references by exact rational arithmetic on the values as read (Python fractions,',
           'tests/reference/hard_data.py).', '']
    for name, offset, note in [('near', Decimal(0), 'at 0'),
                               ('million', Decimal(10**6), 'at 1e6'),
                               ('trillion', Decimal(10**12), 'at 1e12: each value as read is off by up to '
                                                             '6.1e-5, and the exact results on them differ '
                                                             'from 1.68, 1.8 and 21')]:
        columns = design(offset)
        labels = [f'g{chr(ord("a") + c)}' for c in range(len(columns))]
        rows = [[column[r] for column in columns] for r in range(len(columns[0]))]
        out.append(f'The design {note}')
        out.append(table(name, labels, rows))
        out += one_way_references(columns)
        out += [f'anovaow({name})=', f'dmtest({name})=', f'anovatw({name})=', '']
    return '\n'.join(out)


# Single numbers and a t test on the StRD NumAcc pattern: a centre, then values 0.1 below
# and above it in turn (certified mean the centre, sd 0.1), at 1e7 with 201 values.
def numacc(centre, pairs):
    centre = Decimal(centre)
    return [str(centre)] + [str(centre + s * Decimal('0.1')) for _ in range(pairs) for s in (-1, 1)]


def plain_sum(texts):
    total = 0.0
    for t in texts:
        total += float(t)
    return total


def summary_worksheet():
    first = ['10000001', '10000003', '10000002']
    fourth = numacc('10000000.2', 100)
    other = numacc('10000000.25', 100)
    out = ['Sums, means and deviations of values far from zero: the StRD NumAcc patterns; references by',
           'exact rational arithmetic on the values as read (Python fractions, tests/reference/hard_data.py).',
           '']
    for name, texts, note in [('few', first, 'three values about 1e7 (NumAcc1: mean 10000002, sd 1)'),
                              ('many', fourth, '201 values about 1e7, 0.1 apart (NumAcc4 shortened)')]:
        v = [read(t) for t in texts]
        n = len(v)
        sd = math.sqrt(squares(v) / (n - 1))
        out += [f'Data: {note}', f'{name}={{' + ','.join(texts) + '}',
                f'reference: sum {fixed(sum(v))}, mean {fixed(mean(v))}, sd {sd:.6f}, se {sd / math.sqrt(n):.6f}'
                f' (summed left to right in doubles the sum is {plain_sum(texts):.6f})',
                f'sum({name})=', f'mean({name})=', f'sd({name})=', f'se({name})=', '']
    a = [read(t) for t in fourth]
    b = [read(t) for t in other]
    pooled = (squares(a) + squares(b)) / (len(a) + len(b) - 2)
    t = abs(mean(a) - mean(b)) / math.sqrt(float((Fraction(1, len(a)) + Fraction(1, len(b))) * pooled))
    out += ['Two samples about 1e7 whose means differ by 0.05, with equal variances',
            'shifted={' + ','.join(other) + '}',
            f'reference: Student t {t:.6f} on {len(a) + len(b) - 2} df',
            'ttest(many,shifted)=', '']
    return '\n'.join(out)


def least_squares(u, y, order):
    """The exact least-squares coefficients of y on 1, u, ..., u^(order-1): the normal
    equations solved in rational arithmetic, where their conditioning costs nothing."""
    a = [[sum(x ** (i + j) for x in u) for j in range(order)] + [sum(x ** i * v for x, v in zip(u, y))]
         for i in range(order)]
    for k in range(order):
        for i in range(k + 1, order):
            f = a[i][k] / a[k][k]
            a[i] = [p - f * q for p, q in zip(a[i], a[k])]
    c = [Fraction(0)] * order
    for k in reversed(range(order)):
        c[k] = (a[k][order] - sum(a[k][j] * c[j] for j in range(k + 1, order))) / a[k][k]
    return c


def fit_reference(x, y, degree):
    u = [1 / v for v in x] if degree < 0 else x
    c = least_squares(u, y, abs(degree) + 1)
    sse = sum((v - sum(ck * w ** k for k, ck in enumerate(c))) ** 2 for w, v in zip(u, y))
    g = math.sqrt(1 - sse / squares(y))
    prefix = '-' if degree < 0 else ''
    return (f'reference: degree {degree}: ' + ', '.join(f'D[{prefix}{k}] {fixed(ck)}' for k, ck in enumerate(c))
            + f', residual SS {fixed(sse)}, G {g:.6f}')


LONGLEY = """1947	83	234.289	235.6	159	107.608	1947	60.323
1948	88.5	259.426	232.5	145.6	108.632	1948	61.122
1949	88.2	258.054	368.2	161.6	109.773	1949	60.171
1950	89.5	284.599	335.1	165	110.929	1950	61.187
1951	96.2	328.975	209.9	309.9	112.075	1951	63.221
1952	98.1	346.999	193.2	359.4	113.27	1952	63.639
1953	99	365.385	187	354.7	115.094	1953	64.989
1954	100	363.112	357.8	335	116.219	1954	63.761
1955	101.2	397.469	290.4	304.8	117.388	1955	66.019
1956	104.6	419.18	282.2	285.7	118.734	1956	67.857
1957	108.4	442.769	293.6	279.8	120.445	1957	68.169
1958	110.8	444.546	468.1	263.7	121.95	1958	66.513
1959	112.6	482.704	381.3	255.2	123.366	1959	68.655
1960	114.2	502.601	393.1	251.4	125.368	1960	69.564
1961	115.7	518.173	480.6	257.2	127.852	1961	69.331
1962	116.9	554.894	400.7	282.7	130.081	1962	70.551"""


def regression_worksheet():
    out = ['Regression on data far from zero; references by exact rational arithmetic on the values as read',
           '(Python fractions, tests/reference/hard_data.py) unless a line names another.', '']
    noise = ['0.3', '-0.2', '0.1', '0.4', '-0.3', '0.2', '-0.1', '-0.4', '0.3', '-0.2']
    for name, offset in [('x', 0), ('far', 10**8)]:
        xs = [str(offset + i) for i in range(1, 11)]
        ys = [str(Decimal(2 * offset + 2 * i) + Decimal(e)) for i, e in zip(range(1, 11), noise)]
        x, y = [read(t) for t in xs], [read(t) for t in ys]
        sxy = sum((a - mean(x)) * (b - mean(y)) for a, b in zip(x, y))
        slope = sxy / squares(x)
        r = float(sxy) / math.sqrt(float(squares(x) * squares(y)))
        sse = squares(y) - sxy ** 2 / squares(x)
        f = (sxy ** 2 / squares(x)) / (sse / 8)
        label = 'x' if offset == 0 else 'x and y about 1e8 and 2e8'
        out += [f'Pearson and the line of y on x: y 2x plus a little noise, {label}',
                f'{name}x={{' + ','.join(xs) + '}', f'{name}y={{' + ','.join(ys) + '}',
                f'reference: r {r:.6f}, slope {fixed(slope)}, intercept {fixed(mean(y) - slope * mean(x))}, '
                f'regression F {float(f):.1f} on 1 and 8 df',
                f'rtest({name}x,{name}y)=', '']
    out += ['The Longley data (R datasets longley; StRD Longley with employment in thousands)',
            'reference: NIST certified coefficients over 1000: deflator 0.0150618722713733, GNP -0.0358191792925910,',
            'reference: unemployed -0.0202022980381683, armed -0.0103322686717359, population -0.0511041056535807,',
            'reference: year 1.82915146461355, constant -3482.25863459582; residual SS 0.836424055505915,',
            'reference: R squared 0.995479004577296, F 330.285339234588; R 4.2 lm gives standard coefficients',
            'reference: (b times sd x over sd y) 0.046282, -1.013746, -0.537543, -0.204741, -0.101221, 2.479664',
            'longley={\tdeflator\tgnp\tunemployed\tarmed\tpopulation\tyear\temployed']
    out += [line for line in LONGLEY.split('\n')]
    out += ['}', 'mra(longley)=', '']
    xs = [f'0.00000{i}' for i in range(1, 9)]
    zs = [f'0.00000{i}' for i in (3, 1, 4, 1, 5, 9, 2, 6)]
    noise = (1, -1, 2, -2, 1, 0, -1, 0)
    ys = [str(Decimal('0.5') + 2 * Decimal(a) + 3 * Decimal(b) + Decimal(e) / 10**6)
          for a, b, e in zip(xs, zs, noise)]
    x, z, y = ([read(t) for t in v] for v in (xs, zs, ys))
    sxx, szz, sxz = squares(x), squares(z), sum((a - mean(x)) * (b - mean(z)) for a, b in zip(x, z))
    sxy = sum((a - mean(x)) * (b - mean(y)) for a, b in zip(x, y))
    szy = sum((a - mean(z)) * (b - mean(y)) for a, b in zip(z, y))
    det = sxx * szz - sxz ** 2
    bx, bz = (szz * sxy - sxz * szy) / det, (sxx * szy - sxz * sxy) / det
    ssr = bx * sxy + bz * szy
    sse = squares(y) - ssr
    f = (ssr / 2) / (sse / 5)
    out += ['Regression on readings in micro-units: y 0.5 + 2x + 3z and a noise of 1e-6',
            'reference: b ' + fixed(bx) + ' and ' + fixed(bz) + ', standard ' +
            f'{float(bx) * math.sqrt(sxx / squares(y)):.6f} and {float(bz) * math.sqrt(szz / squares(y)):.6f}, '
            f'constant {fixed(mean(y) - bx * mean(x) - bz * mean(z))}, R {math.sqrt(ssr / squares(y)):.6f}, '
            f'F {float(f):.6f} on 2 and 5 df',
            'reference: R 4.2 pf gives p 0.000004. The covariances are near 1e-12, below the pivot limit of 1e-10,',
            'reference: and the matrix is not singular for that.',
            'micro={\tx\tz\ty'] + [f'm{i + 1}\t{a}\t{b}\t{c}' for i, (a, b, c) in enumerate(zip(xs, zs, ys))]
    out += ['}', 'mra(micro)=', '']
    years = list(range(1990, 2021))
    trend = [Fraction(1, 2) * (t - 2005) ** 2 + 2 * (t - 2005) + 1000 + Fraction((7 * t) % 11 - 5, 10)
             for t in years]
    ytexts = [str(Decimal(v.numerator) / Decimal(v.denominator)) for v in trend]
    x, y = [Fraction(t) for t in years], [read(t) for t in ytexts]
    out += ['A quadratic trend over the years 1990 to 2020 with a little noise, fitted in x and in 1/x',
            'years={' + ','.join(str(t) for t in years) + '}', 'trend={' + ','.join(ytexts) + '}']
    out += [fit_reference(x, y, d) for d in (1, 2, 3, 4, -1, -2)]
    out += ['reference: the quartic D[0] and the 1/x^2 coefficients need 14 to 19 significant digits, more than a',
            'reference: double holds, and differ there in their last digits. R 4.2 lm(trend ~ poly(years, d, raw TRUE))',
            'reference: drops the cubic and quartic terms as collinear and misses D[-1] of degree -2 in its 10th digit.']
    out += ['one={1}', 'two={2}', 'three={3}', 'four={4}', 'minusone={-1}', 'minustwo={-2}']
    out += [f'lsq(years,trend,{d})=' for d in ('one', 'two', 'three', 'four', 'minusone', 'minustwo')] + ['']
    small = list(range(21))
    quartic = [1 + t + t ** 2 + t ** 3 + t ** 4 + Fraction((3 * t) % 7 - 3, 10) for t in small]
    qtexts = [str(Decimal(v.numerator) / Decimal(v.denominator)) for v in quartic]
    out += ['1 + x + x^2 + x^3 + x^4 over x from 0 to 20 (the StRD Wampler pattern) with a little noise',
            'steps={' + ','.join(str(t) for t in small) + '}', 'quartic={' + ','.join(qtexts) + '}']
    out += [fit_reference([Fraction(t) for t in small], [read(t) for t in qtexts], d) for d in (2, 4)]
    out += ['lsq(steps,quartic,two)=', 'lsq(steps,quartic,four)=', '']
    return '\n'.join(out)


def kaplan_meier(subjects, d):
    """Mean survival, S(d) and its Greenwood standard error, the events counted before the
    censored subjects at a tied time (as R's survfit counts them)."""
    subjects = sorted(subjects)
    n = len(subjects)
    s, greenwood, area, recording = Fraction(1), Fraction(0), Fraction(subjects[0][0]), True
    for i, (t, c) in enumerate(subjects):
        later = n - i - 1
        s = (later + c) * s / (later + 1)
        greenwood = Fraction(0) if later == 0 else greenwood + Fraction(1 - c, (later + 1) * later)
        if later:
            area += (subjects[i + 1][0] - t) * s
        if recording:
            at_d, se = s, math.sqrt(s * s * greenwood)
            recording = later > 0 and not d < subjects[i + 1][0]
    return area, at_d, se


def gehan(a, b):
    def score(u, v):
        (tu, cu), (tv, cv) = u, v
        if cu == 0 and ((cv == 0 and tu < tv) or (cv == 1 and tu <= tv)):
            return -1
        if cv == 0 and ((cu == 0 and tv < tu) or (cu == 1 and tv <= tu)):
            return 1
        return 0
    w = sum(score(u, v) for u in a for v in b)
    pooled = a + b
    v = Fraction(len(a) * len(b), (len(pooled) - 1) * len(pooled)) * sum(
        sum(score(u, x) for x in pooled) ** 2 for u in pooled)
    return w, v


def survival_worksheet():
    first = [(5, 1), (5, 0), (5, 0), (8, 1), (8, 1), (8, 0), (12, 0), (12, 1), (15, 1), (20, 1), (20, 0), (24, 0),
             (31, 1)]
    second = [first[i] for i in (12, 6, 1, 9, 3, 0, 11, 7, 4, 10, 2, 8, 5)]
    other = [(2, 0), (3, 0), (5, 0), (5, 1), (7, 0), (8, 0), (8, 0), (11, 1), (13, 0), (16, 0), (18, 1), (22, 0)]

    def group(name, subjects):
        return table(name, ['weeks', 'censored'], [[str(t), str(c)] for t, c in subjects]).replace('\nr', '\ns')

    out = ['Survival times with events and censored subjects tied at 5, 8, 12 and 20 weeks, written in two',
           'row orders: at a tied time the events count first (as R survfit counts them), so both orders',
           'give the same reports. References by exact rational arithmetic (tests/reference/hard_data.py).', '',
           group('early', first), group('shuffled', second), group('control', other),
           'eight={8}', 'twenty={20}']
    for d in (8, 20):
        area_a, s_a, se_a = kaplan_meier(first, d)
        area_b, s_b, se_b = kaplan_meier(other, d)
        z = abs(float(s_a - s_b)) / math.sqrt(se_a ** 2 + se_b ** 2)
        out.append(f'reference: at {d} weeks S {float(s_a):.6f} SE {se_a:.6f} and S {float(s_b):.6f} SE {se_b:.6f}, '
                   f'z {z:.6f}; areas {float(area_a):.6f} and {float(area_b):.6f}')
    w, v = gehan(first, other)
    out += [f'reference: Gehan W {w}, V {float(v):.6f}, z {abs(w) / math.sqrt(v):.6f}',
            'kapmrtest(early,control,eight)=', 'kapmrtest(shuffled,control,eight)=',
            'kapmrtest(early,control,twenty)=', 'kapmrtest(shuffled,control,twenty)=',
            'genwxtest(early,control)=', 'genwxtest(shuffled,control)=', '']
    return '\n'.join(out)


if __name__ == '__main__':
    with open('../worksheets/hard_data_survival.txt', 'w') as f:
        f.write(survival_worksheet())
    with open('../worksheets/hard_data_regression.txt', 'w') as f:
        f.write(regression_worksheet())
    with open('../worksheets/hard_data_summary.txt', 'w') as f:
        f.write(summary_worksheet())
    with open('../worksheets/hard_data_one_way.txt', 'w') as f:
        f.write(one_way_worksheet())
