"""Small builders for the toolkit's layout XML: elements are nested lists of lines.
Positions and sizes are fractions of the loader's reference size (the screen);
positions are relative to the parent element."""


def attrs(**kw):
    return "".join(' %s="%s"' % (k.rstrip("_").replace("__", "-"), v) for k, v in kw.items() if v is not None)


def element(name, kind, x=0.0, y=0.0, w=1.0, h=1.0, children=(), events=None, extra=(), **kw):
    out = ['<element name="%s" type="%s"%s>' % (name, kind, attrs(**kw))]
    if x or y:
        out.append('  <position x="%.3f" y="%.3f"/>' % (x, y))
    out.append('  <size w="%.3f" h="%.3f"/>' % (w, h))
    out += ["  " + line for line in extra]
    if events:
        out.append("  <events>" + "".join('<%s action="%s"/>' % (e, a) for e, a in events.items()) + "</events>")
    for child in children:
        out += ["  " + line for line in child]
    out.append("</element>")
    return out


def group(name, x, y, w, h, *children, **kw):
    return element(name, "widget", x, y, w, h, children, **kw)


def text(name, x, y, w, h, local=None, font="main", color="text_primary", align="left-middle", kind=None,
         title=None, displaycolor=None, events=None, value=None, **kw):
    line = "<text%s/>" % attrs(local=local, value=value, type=kind, title=title, font=font, color=color,
                               displaycolor=displaycolor, align=align)
    return element(name, "text", x, y, w, h, extra=[line], events=events, **kw)


def image(name, x, y, w, h, path, blend=None, frames=None, **kw):
    extra = ['<image path="%s"%s/>' % (path, attrs(frames_x=frames and frames[0], frames_y=frames and frames[1]))]
    if blend:
        extra.append('<blend_color value="%s"/>' % blend)
    return element(name, "image", x, y, w, h, extra=extra, **kw)


def looks(w, h, normal, pressed):
    return [image("normal", 0, 0, w, h, normal), image("pressed", 0, 0, w, h, pressed)]


def button(name, x, y, w, h, action=None, local=None, kind="button", look="btn_primary", label="label",
           font="main-b", children=(), events=None, extra=(), **kw):
    """A button with a released and a pressed picture and an optional centred label."""
    ev = dict(events or {})
    if action:
        ev["onclick"] = action
    kids = []
    if look:
        kids += looks(w, h, look + ".png", look + "_down.png")
    if local is not None:
        kids.append(text(label, 0, 0, w, h, local, font=font, color="text_button", align="center-middle"))
    return element(name, kind, x, y, w, h, kids + list(children), events=ev,
                   extra=(['<layout_widgets value="1"/>'] if look else []) + list(extra), **kw)


def icon_button(name, x, y, w, h, icon, action=None, kind="button", events=None, children=(), extra=(), **kw):
    ev = dict(events or {})
    if action:
        ev["onclick"] = action
    kids = [image("icon", 0, 0, w, h, icon, keep_aspect="1")] + list(children)
    return element(name, kind, x, y, w, h, kids, events=ev, extra=extra, **kw)


def page_button(name, x, y, w, h, page, local=None, target="&lt;menu_root", icon=None, font="main-b",
                action="page_sound", **kw):
    """A page button: its last two children are its off and on looks (empty here), so the
    picture and label come first and always show."""
    extra = ['<target name="%s" page="%s"/>' % (target, page)]
    looks_ = [element("off", "widget", 0, 0, w, h), element("on", "widget", 0, 0, w, h)]
    if icon and local is not None:
        # A wide menu entry: the picture at the left, the label beside it.
        kids = [image("normal", 0, 0, w, h, "btn_primary.png"),
                image("icon", w * 0.04, h * 0.15, h * 0.6, h * 0.7, icon, keep_aspect="1"),
                text("label", h * 0.7, 0, w - h * 0.75, h, local, font=font, color="text_button",
                     align="center-middle")]
    elif icon:
        kids = [image("icon", 0, 0, w, h, icon, keep_aspect="1")]
    else:
        kids = [image("normal", 0, 0, w, h, "btn_primary.png"),
                text("label", 0, 0, w, h, local, font=font, color="text_button", align="center-middle")]
    return element(name, "page_button", x, y, w, h, kids + looks_, events={"onclick": action}, extra=extra,
                   **kw)


def toggle(name, x, y, w, h, action=None, onshow=None, on="toggle_on.png", off="toggle_off.png", extra=(),
           keep_aspect=None, **kw):
    """keep_aspect="1" draws the looks unstretched, centred in the toggle's box."""
    ev = {}
    if onshow:
        ev["onshow"] = onshow
    if action:
        ev["onclick"] = action
    looks = [image("off", 0, 0, w, h, off, keep_aspect=keep_aspect), image("on", 0, 0, w, h, on, keep_aspect=keep_aspect)]
    return element(name, "toggle_button", x, y, w, h, looks,
                   events=ev, extra=['<layout_widgets value="1"/>'] + list(extra), **kw)


def web_button(name, x, y, w, h, url, icon=None, local=None, **kw):
    extra = ['<target url="%s"/>' % url]
    if icon:
        return icon_button(name, x, y, w, h, icon, kind="web_button", extra=extra, **kw)
    return button(name, x, y, w, h, local=local, kind="web_button", extra=extra, **kw)


def page(name, *children, events=None, background=True):
    kids = [image("page_background", 0, 0, 1.0, 1.0, "page_bg.png")] if background else []
    return element(name, "widget", 0, 0, 1.0, 1.0, kids + list(children), events=events)


def dialog(name, x, y, w, h, *children, events=None):
    """A page that shows a panel over the lobby's page picture; an in-game dialog ("_ingame")
    over the dimmed match, which the lobby draws under it. Over the lobby nothing else is
    drawn, so a dim there would darken whatever the screen held before."""
    if not name.endswith("_ingame"):
        under = image("page_background", 0, 0, 1.0, 1.0, "page_bg.png")
    else:
        under = image("dim", 0, 0, 1.0, 1.0, "page_bg.png", blend="dialog_dim")
    return element(name, "widget", 0, 0, 1.0, 1.0,
                   [under,
                    group("dialog_panel_root", x, y, w, h, image("dialog_panel", 0, 0, w, h, "panel_bg.png",
                                                                 blend="panel_blend"), *children)],
                   events=events)


def spinner(name, x, y, size, **kw):
    return element(name, "rotating_image", x, y, size, size, extra=['<image path="spinner.png"/>'],
                   keep_aspect="1", **kw)


def document(root, body, actions=(), comment=None):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>']
    if comment:
        lines.append("<!-- %s -->" % comment)
    lines.append("<%s>" % root)
    if actions:
        lines.append("  <actions>")
        for name, parts in actions:
            lines.append('    <action name="%s">' % name)
            for kind, value in parts:
                if kind == "trigger":
                    lines.append('      <trigger time="0.0" action="%s"/>' % value)
                else:
                    lines.append('      <sound time="0.0" path="%s"/>' % value)
            lines.append("    </action>")
        lines.append("  </actions>")
    for block in body:
        lines += ["  " + line for line in block]
    lines.append("</%s>" % root)
    return "\n".join(lines) + "\n"


def import_(path):
    return ['<import path="%s"/>' % path]
