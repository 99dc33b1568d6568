# What a musician does in a plug-in's editor, with synthetic X events (xdotool), for the scripts
# that open our editors in real hosts (sourced by check-editors-in-hosts and
# check-editors-in-ardour). Coordinates are the screen's; the editor window's top-left corner
# is X0 Y0, and the preset bar is its top 32 points.

# A user preset for the unit NAME (Quorvane or Pallix) where the plug-ins look for them (under
# $XDG_DATA_HOME: they take the home folder from the user database, not from $HOME), from the
# state the renderer prints for its options.
write_user_preset() { # RENDERER NAME PRESET_NAME OPTIONS...
  local renderer=$1 name=$2 preset=$3
  shift 3
  local folder="${XDG_DATA_HOME:?}/Orrinbrook/$name/Presets"
  mkdir -p "$folder"
  "$renderer" --print-state "$@" >"$folder/$preset.aupreset"
}

# Presses on the knob at X Y and drags up and to the right, as a user turns it.
turn_knob_at() { # X Y
  xdotool mousemove "$1" "$2" mousedown 1
  for step in $(seq 1 10); do
    xdotool mousemove "$(($1 + step * 3))" "$(($2 - step * 3))"
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 1
}

# Rests the pointer on the knob at X Y, whose face is K points wide, and prints how many
# pixels of the foot of its face (where its name is) changed: its value stands there. SHOT
# gets the screen while the value shows.
hover_knob() { # X Y K SHOT
  local x=$1 y=$2 k=$3 band
  band="$((k * 9 / 10))x$((k / 5))+$((x - k * 9 / 20))+$((y + k / 2 - k / 5))"
  xdotool mousemove "$((x + k))" "$((y - k))"
  sleep 1
  import -window root -crop "$band" +repage "$4.before.png"
  xdotool mousemove "$x" "$y"
  sleep 1
  import -window root "$4"
  convert "$4" -crop "$band" +repage "$4.band.png"
  compare -metric AE "$4.before.png" "$4.band.png" null: 2>&1 || true
}

# Right-clicks the knob at X Y and types TEXT into the field it opens, then Return.
type_into_knob() { # X Y TEXT
  xdotool mousemove "$1" "$2" click 3
  sleep 0.7
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 "$3"
  xdotool key Return
  sleep 1
}

# Opens the preset bar's menu and chooses its ROW-th line (0 the first factory preset).
choose_from_preset_bar() { # X0 Y0 ROW
  xdotool mousemove "$(($1 + 160))" "$(($2 + 16))" click 1
  sleep 1
  xdotool mousemove "$(($1 + 100))" "$(($2 + 28 + 22 * $3 + 11))" click 1
  sleep 1.5
}
