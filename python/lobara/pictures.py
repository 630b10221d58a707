"""Pictures, maps, tables and meshes of fields, made by lobara-render's own runs and kept in memory.

Each call's keywords are lobara-render's options in snake_case (``from_`` for --from, ``width`` and
``height`` for --size), read by lobara-render's own readers: a value it would refuse raises
ValueError with its one-line message, and a keyword left out (None) takes its default."""

import importlib

import numpy


def _runs():
    """The module of lobara-render's runs, loaded on first use: it brings the drawing's, text's
    and files' shared libraries, which `import lobara` need not load. A library that cannot be
    mapped for want of address space is a MemoryError, as any other want of memory is."""
    try:
        return importlib.import_module("._lobara_runs", __package__)
    except ImportError as error:
        if "failed to map segment" in str(error) or "cannot allocate memory" in str(error).lower():
            raise MemoryError(f"not enough memory to load lobara's drawing and file libraries: {error}") from None
        raise


def options():
    """lobara-render's options as its one declaration holds them, by name ("--size"): for each,
    whether it is a ``flag`` (a keyword True or False), whether it is ``repeatable``, its
    ``default`` as lobara-render's --help shows it ("" where it has none or it depends on the rest
    of the call) and the names it takes (``values``, empty for a value of any other form)."""
    return _runs().OPTIONS


def _text(value):
    """An option's value as lobara-render's command line spells it: numbers as Python writes
    them (shortest round trip), sequences joined by commas."""
    if isinstance(value, (bool, numpy.bool_)):
        raise ValueError(f"needs a number or a name, not {value!r}")
    if isinstance(value, str):
        try:
            value.encode("utf-8")
        except UnicodeEncodeError:
            raise ValueError("needs text in UTF-8") from None
        return value
    if isinstance(value, (int, numpy.integer)):
        return str(int(value))
    if isinstance(value, (float, numpy.floating)):
        return repr(float(value))
    if isinstance(value, (tuple, list, numpy.ndarray)):
        return ",".join(_text(item) for item in numpy.ravel(numpy.asarray(value, dtype=object)))
    raise TypeError(f"needs a number, a sequence of numbers or a name, not {type(value).__name__}")


def _options(width=None, height=None, **keywords):
    """The (option, text) pairs of the keywords given; width and height are --size, either
    alone with the other's default."""
    pairs = []
    if width is not None or height is not None:
        default_width, default_height = _runs().DEFAULT_PICTURE_SIZE
        pairs.append(("--size", f"{_text(default_width if width is None else width)}x"
                                  f"{_text(default_height if height is None else height)}"))
    declared = options()
    for name, value in keywords.items():
        if value is None:
            continue
        option = "--" + name.rstrip("_").replace("_", "-")
        if declared[option]["flag"]:
            if value not in (True, False):
                raise ValueError(f"{name} needs True or False, not {value!r}")
            if value:
                pairs.append((option, ""))
        else:
            try:
                pairs.append((option, _text(value)))
            except (TypeError, ValueError) as error:
                raise type(error)(f"{name} {error}") from None
    return pairs


def run_picture(core, options):
    """The Picture of lobara-render's run. Its warnings come as Python warnings, issued for the
    caller of the public call that calls this."""
    rgba, alpha = _runs().run_picture(core, options)
    return Picture(rgba, alpha)


def run_mesh(core, options):
    return _runs().run_mesh(core, options)


def run_page(core, options):
    return Page(_runs().run_page(core, options))


class Page:
    """The self-contained interactive page of a surface, as lobara-render's --html writes it:
    ``html`` its text, ``save(path)`` its file. In a notebook it shows itself, turnable, in a frame
    of its own."""

    def __init__(self, text):
        self.html = text

    def save(self, path):
        """Writes the page to path, all or nothing: an existing file stays as it was when the new
        one cannot be written (OSError)."""
        _runs().save_text(path, self.html)

    def _repr_html_(self):
        from html import escape
        return (f'<iframe srcdoc="{escape(self.html, quote=True)}" style="width: 100%; height: 480px; '
                'border: none"></iframe>')

    def __repr__(self):
        return f"<lobara.Page of {len(self.html)} characters>"


class Picture:
    """A picture as lobara-render draws it: ``rgba``, an (H, W, 4) uint8 array of its pixels, rows
    from the top (opaque pictures have alpha 255); ``png()`` its PNG bytes and ``save(path)`` its
    file, as lobara-render's --out writes them (RGBA with a transparent background, else RGB).
    In a notebook it shows itself."""

    def __init__(self, rgba, alpha=True):
        self.rgba = rgba
        #: Whether the PNG keeps the alpha channel (a transparent background).
        self.alpha = bool(alpha)

    @property
    def width(self):
        return self.rgba.shape[1]

    @property
    def height(self):
        return self.rgba.shape[0]

    def png(self):
        """The PNG file's bytes."""
        return _runs().encode_png(self.rgba, self.alpha)

    def save(self, path):
        """Writes the PNG to path, all or nothing: an existing file stays as it was when the new
        one cannot be written (OSError)."""
        _runs().save_png(path, self.rgba, self.alpha)

    def _repr_png_(self):
        return self.png()

    def __repr__(self):
        return f"<lobara.Picture {self.width} x {self.height}{' with alpha' if self.alpha else ''}>"


def table(lmax, convention=None, width=None, height=None, from_=None, to=None, scheme=None, background=None,
          title=None, supersample=None, theta=None, phi=None, table_labels=None, table_polynomials=False,
          table_scale=None):
    """The picture of every real harmonic Y(l, m) for l = 0 .. lmax, as lobara-render's --table
    draws it: row l from the top, m = -l .. l from the left, each cell the fitted picture of its
    harmonic seen from ``from_`` towards ``to``, in the :class:`Convention` given (this
    program's own unless told). The other keywords are lobara-render's options of the same names
    (``table_labels`` "none", "harmonics" or "orbitals"; ``table_scale`` "each" or "common"), with
    its defaults."""
    from .convention import LOBARA
    convention = LOBARA if convention is None else convention
    options = [("--table", _text(lmax)), ("--norm", convention.norm), ("--sine", convention.sine)]
    if convention.cs:
        options.append(("--cs", ""))
    options += _options(width, height, from_=from_, to=to, scheme=scheme, background=background, title=title,
                        supersample=supersample, theta=theta, phi=phi, table_labels=table_labels,
                        table_polynomials=table_polynomials, table_scale=table_scale)
    return run_picture(None, options)
