#!/usr/bin/env bash
# Draws and synthesises the demo manual's media with ffmpeg: background music, interface sounds,
# the start clip, two explanatory clips, the 3D area's clip, slide pictures and the animated
# piston. Everything is made from expressions and the DejaVu fonts; nothing is read from disc.
#
#   make-media.sh OUTDIR
#
# Writes OUTDIR/music/, sounds/, video/, slides/, car.avi and piston.gif; other files in OUTDIR
# are left alone. Running it again gives the same files (encoders run single-threaded and
# without version tags).
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: make-media.sh OUTDIR" >&2
    exit 2
fi
out=$1
fonts=/usr/share/fonts/truetype/dejavu
font_bold=$fonts/DejaVuSans-Bold.ttf
font_regular=$fonts/DejaVuSans.ttf
for need in "$font_bold" "$font_regular"; do
    [ -f "$need" ] || { echo "make-media.sh: font $need is missing (package fonts-dejavu-core)" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "make-media.sh: ffmpeg is not installed" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rm -rf "$out/music" "$out/sounds" "$out/video" "$out/slides" "$out/car.avi" "$out/piston.gif"
mkdir -p "$out/music" "$out/sounds" "$out/video" "$out/slides"

# The house palette: graphite (the gradients run 0x2B2D31 to 0x1C1D20) with warm amber accents.
GRAPHITE_DARK=0x1C1D20
STEEL=0x8A8F98
LIGHT=0xE8E4DC
AMBER=0xF2A93B
AMBER_DARK=0xB8741A
HOT=0xD9553B

ff() { ffmpeg -hide_banner -nostdin -loglevel error -y "$@"; }
# Output options that keep files byte-identical between runs.
exact=(-map_metadata -1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact -threads 1)
video_avi=(-c:v mpeg4 -q:v 4 -pix_fmt yuv420p -vtag XVID)
audio_avi=(-c:a libmp3lame -b:a 96k -ar 44100)

# Jobs run two at a time; a failed job fails the script.
pids=()
bg() { "$@" & pids+=($!); }
wait_all() {
    local pid status=0
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
    pids=()
    [ $status -eq 0 ] || { echo "make-media.sh: a media job failed" >&2; exit 1; }
}

# Russian texts go through files so that no quoting of the filter graph touches them.
text() { printf '%s' "$2" > "$tmp/$1.txt"; }

# ---------------------------------------------------------------------------------------------
# Still layers, drawn with geq at twice their size and scaled down (smooth edges).
#   layer NAME W H CLASS PALETTE
# CLASS is an expression in design coordinates @u, @v (0..W, 0..H) that gives a colour index;
# PALETTE lists "index:r,g,b" (index 0 is transparent).
layer() {
    local name=$1 w=$2 h=$3 class=$4 palette=$5 ch i e expr
    class=${class//@u/(X*$w\/W)}
    class=${class//@v/(Y*$h\/H)}
    local -a args=()
    for ch in 0 1 2; do
        expr=0
        for e in $palette; do
            i=${e%%:*}
            IFS=, read -r -a rgb <<< "${e#*:}"
            expr="if(eq(ld(0),$i),${rgb[$ch]},$expr)"
        done
        args+=("st(0,$class);$expr")
    done
    ff -f lavfi -i "color=black@0:s=$((w * 2))x$((h * 2)):d=1,format=rgba,geq=r='${args[0]}':g='${args[1]}':b='${args[2]}':a='st(0,$class);255*gt(ld(0),0)',scale=$w:$h:flags=area" \
        -frames:v 1 -update 1 "$tmp/$name.png"
}

# A car seen from the side, 240 x 100.
car_class='if(lte(hypot(@u-62,@v-76),8)+lte(hypot(@u-182,@v-76),8),1,
 if(lte(hypot(@u-62,@v-76),19)+lte(hypot(@u-182,@v-76),19),2,
 if(lte(hypot(@u-62,@v-76),23)+lte(hypot(@u-182,@v-76),23),0,
 if(between(@v,25,44)*gte(@u,91-(@v-20)*1.1)*lte(@u,142+(@v-20)*1.5)*not(between(@u,114,119)),3,
 if(between(@u,227,234)*between(@v,50,57),4,
 if(between(@u,6,11)*between(@v,50,57),5,
 if(between(@v,20,46)*gte(@u,84-(@v-20)*1.1)*lte(@u,150+(@v-20)*1.5),7,
 if(between(@u,6,234)*between(@v,46,78)*gte(@v,46+(@u-196)*0.2)*gte(@v,46+(20-@u)*0.4),
   if(between(@v,58,60)+between(@u,118,119)*lt(@v,74),6,7),0))))))))'
car_palette='1:150,155,163 2:24,25,28 3:70,86,104 4:255,236,190 5:217,85,59 6:184,116,26 7:242,169,59'

# Engine parts for the piston scheme: piston 64 x 48 (wrist pin at 32,30), connecting rod in a
# 104 x 104 square (eyes 80 apart), crank web 100 x 100 (crank pin 26 above the centre).
piston_class='if(lte(hypot(@u-32,@v-30),6),3,if(between(@v,7,9)+between(@v,13,15),2,1))'
piston_palette='1:176,181,189 2:90,94,102 3:120,124,132'
rod_class='if(lte(hypot(@u-52,@v-12),3.5)+lte(hypot(@u-52,@v-92),5),0,
 if(lte(abs(@u-52),5)*between(@v,12,92)+lte(hypot(@u-52,@v-12),8)+lte(hypot(@u-52,@v-92),10),1,0))'
rod_palette='1:242,169,59'
crank_class='if(lte(hypot(@u-50,@v-24),9),4,if(lte(hypot(@u-50,@v-50),10),3,
 if(lte(hypot(@u-50,@v-50),38),if(gt(@v,62),2,1),0)))'
crank_palette='1:78,82,90 2:62,66,73 3:130,135,143 4:176,181,189'

# A brake disc section and the wheel for a slide.
stripes_class='if(lt(mod(@v,40),20),1,2)'
stripes_palette='1:150,155,163 2:110,115,123'
wheel_class='st(1,hypot(@u-100,@v-100));st(2,atan2(@v-100,@u-100)+PI);
 if(lte(ld(1),18),4,if(lte(ld(1),40),3,if(lte(ld(1),70),
   if(between(ld(1),47,63)*lt(mod(ld(2),2*PI/5),0.7),5,3),
 if(lte(ld(1),98),if(gt(ld(1),88)*lt(mod(ld(2),PI/18),0.09),5,2),0))))'
wheel_palette='2:30,31,35 3:150,155,163 4:242,169,59 5:43,45,49'

# Backgrounds: a dark vertical gradient, and a soft amber glow.
gradient() {
    ff -f lavfi -i "color=black:s=$2x$3:d=1,format=rgb24,geq=r='43-19*Y/H':g='45-19*Y/H':b='49-18*Y/H'" \
        -frames:v 1 -update 1 "$tmp/$1.png"
}
glow() {
    ff -f lavfi -i "color=black@0:s=$2x$2:d=1,format=rgba,geq=r=242:g=169:b=59:a='$3*pow(max(0,1-hypot(X-W/2,Y-H/2)/(W/2)),2)'" \
        -frames:v 1 -update 1 "$tmp/$1.png"
}

# ---------------------------------------------------------------------------------------------
# Music: an arpeggio (two alternating voices so notes ring on), a bass, a stereo pad whose voices
# glide with continuous phase, and a melody from the second round on; then an echo for space.
#   tune OUT EIGHTH STEPS ROUNDS TIMBRE CHORDS PATTERN MELODY MELODY_STEPS
# CHORDS: "root a b c;..." as MIDI notes; PATTERN: "tone:octave" per step of a bar;
# MELODY: MIDI notes (0 rest), each MELODY_STEPS eighths long.
tune_awk='
function hz(m) { return sprintf("%.4f", 440 * 2 ^ ((m - 69) / 12)) }
function sel(v, arr, lo, hi,   mid) {
    if (hi - lo == 1) return arr[lo]
    mid = int((lo + hi) / 2)
    return "if(lt(" v "," mid ")," sel(v, arr, lo, mid) "," sel(v, arr, mid, hi) ")"
}
BEGIN {
    C = split(chords, ch, ";"); P = split(pattern, pat, " ")
    for (c = 0; c < C; c++) {
        split(ch[c + 1], tone, " ")
        bass[c] = hz(tone[1] - 12)
        for (k = 0; k < S; k++) {
            split(pat[k % P + 1], tp, ":")
            arp[c * S + k] = hz(tone[tp[1] + 1] + 12 * tp[2])
        }
        for (v = 0; v < 3; v++) padf[v, c] = 440 * 2 ^ ((tone[v + 2] - 69) / 12)
    }
    BAR = E * S; N = C * S
    if (timbre == "ep") tonef = "sin(X+1.1*exp(-L*5)*sin(X))"
    else if (timbre == "pluck") tonef = "(sin(X)+0.35*sin(2*X)*exp(-L*7)+0.12*sin(3*X)*exp(-L*12))"
    else tonef = "(sin(X)+0.3*sin(4*X)*exp(-L*22))"
    x = ""
    for (v = 0; v < 2; v++) {
        t1 = tonef; gsub(/X/, "(2*PI*ld(3)*ld(1))", t1); gsub(/L/, "ld(1)", t1)
        x = x (v ? "+" : "") "st(0,floor((t-" v * E ")/" 2 * E "));st(1,t-" v * E "-ld(0)*" 2 * E ");" \
            "st(2,mod(2*ld(0)+" v "," N "));st(3," sel("ld(2)", arp, 0, N) ");" \
            t1 "*(1-exp(-ld(1)*250))*exp(-ld(1)*2.2)*min(1,(" 2 * E "-ld(1))*40)*gte(ld(1),0)"
        if (!v) x = "(" x ")"
    }
    print x
    HB = BAR / 2
    print "st(2,mod(floor(t/" BAR ")," C "));st(1,t-floor(t/" HB ")*" HB ");st(3," sel("ld(2)", bass, 0, C) ");" \
          "(sin(2*PI*ld(3)*ld(1))+0.25*sin(4*PI*ld(3)*ld(1)))*(1-exp(-ld(1)*60))*(0.55+0.45*exp(-ld(1)*3))*min(1,(" HB "-ld(1))*30)"
    for (side = 0; side < 2; side++) {
        det = side ? 1.0025 : 0.9975
        x = "st(0,floor(t/" BAR "));st(1,t-ld(0)*" BAR ");st(2,mod(ld(0)," C "));st(5,0)"
        for (v = 0; v < 3; v++) {
            s = 0
            for (c = 0; c < C; c++) { q[c] = sprintf("%.6f", s); f[c] = sprintf("%.6f", padf[v, c]); s += padf[v, c] * BAR }
            x = x ";st(4,2*PI*" det "*(floor(ld(0)/" C ")*" sprintf("%.6f", s) "+" sel("ld(2)", q, 0, C) "+" sel("ld(2)", f, 0, C) "*ld(1)))" \
                ";st(5,ld(5)+sin(ld(4))+0.3*sin(2*ld(4))+0.1*sin(3*ld(4)))"
        }
        print x ";ld(5)*(0.8+0.2*sin(2*PI*0.23*t+" side "))"
    }
    M = split(melody, mel, " ")
    for (j = 0; j < M; j++) mf[j] = mel[j + 1] ? hz(mel[j + 1]) : 0
    MD = MS * E; T0 = BAR * C
    print "st(0,floor((t-" T0 ")/" MD "));st(1,t-" T0 "-ld(0)*" MD ");st(3," sel("ld(0)", mf, 0, M) ");" \
          "gte(ld(0),0)*lt(ld(0)," M ")*(sin(2*PI*ld(3)*ld(1)+0.6*sin(2*PI*5*ld(1))*min(1,ld(1)))+0.2*sin(4*PI*ld(3)*ld(1)))" \
          "*(1-exp(-ld(1)*30))*(0.6+0.4*exp(-ld(1)*2))*min(1,(" MD "-ld(1))*12)"
}'
tune() {
    local name=$1 e=$2 steps=$3 rounds=$4 timbre=$5 chords=$6 pattern=$7 melody=$8 ms=$9 x d
    local nchords
    nchords=$(awk -F';' '{ print NF }' <<< "$chords")
    mapfile -t x < <(awk -v E="$e" -v S="$steps" -v chords="$chords" -v pattern="$pattern" \
        -v melody="$melody" -v MS="$ms" -v timbre="$timbre" "$tune_awk")
    # the rounds, then a last tonic bar that fades out
    d=$(awk -v e="$e" -v s="$steps" -v c="$nchords" -v r="$rounds" 'BEGIN { printf "%.3f", e * s * (c * r + 1) }')
    local src="aevalsrc=s=22050:d=$d:exprs"
    cat > "$tmp/$name.graph" <<EOF
$src='${x[0]}',pan=stereo|c0=0.6*c0|c1=0.45*c0[arp];
$src='${x[1]}',pan=stereo|c0=c0|c1=c0[bass];
$src='${x[2]}|${x[3]}',lowpass=f=1600[pad];
$src='${x[4]}',pan=stereo|c0=0.45*c0|c1=0.55*c0[mel];
[arp][bass][pad][mel]amix=inputs=4:weights=0.3 0.25 0.07 0.22:normalize=0,
aecho=0.8:0.7:53|89|137|211:0.3|0.22|0.15|0.09,lowpass=f=7000,aresample=44100,
afade=t=in:d=1.5,afade=t=out:st=$(awk -v d="$d" 'BEGIN { print d - 3 }'):d=3,alimiter=limit=0.9:level=0
EOF
    ff -filter_complex_script "$tmp/$name.graph" -c:a libmp3lame -b:a 112k -ar 44100 -ac 2 \
        "${exact[@]}" "$out/music/$name.mp3"
}

# I-vi-IV-V in C, electric piano, 100 beats a minute.
bg tune pesnya1 0.3 8 3 ep \
    "60 64 67 72;57 60 64 69;53 57 60 65;55 59 62 67" \
    "0:0 1:0 2:0 3:0 1:1 2:0 3:0 1:0" \
    "76 79 81 76 77 72 74 71 79 76 72 76 81 77 79 74" 4
# A waltz in A minor, plucked.
bg tune pesnya2 0.357 6 2 pluck \
    "57 60 64 69;50 57 62 65;55 59 62 67;48 60 64 67;53 57 60 65;50 57 62 65;52 56 59 64;57 60 64 69" \
    "0:0 1:0 2:0 3:0 2:0 1:0" \
    "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 76 74 77 76 74 71 72 76 72 69 74 72 71 68 69 0" 3
# Major sevenths in D, marimba.
bg tune pesnya3 0.268 8 3 marimba \
    "62 66 69 73;59 62 66 69;55 59 62 66;57 61 64 67" \
    "0:0 2:0 1:0 3:0 0:1 3:0 2:0 1:0" \
    "78 76 74 73 71 74 73 69 78 81 79 78 76 74 73 76" 4

# ---------------------------------------------------------------------------------------------
# Interface sounds, 16-bit PCM, mono. Every sound ends at silence (the last factor).
sound() {
    ff -f lavfi -i "aevalsrc=s=44100:d=$2:exprs='($3)*min(1,($2-t)*200)'${4:+,$4}" \
        -c:a pcm_s16le -ac 1 "${exact[@]}" "$out/sounds/$1.wav"
}
tick='(0.6*sin(2*PI*F*T)+0.4*sin(2*PI*1.5*F*T))*exp(-T*K)*(1-exp(-T*3000))*gte(T,0)'
bell='(sin(2*PI*F*T+0.5*exp(-T*30)*sin(4*PI*F*T)))*exp(-T*K)*(1-exp(-T*800))*gte(T,0)'
note() { local s=${1//F/$2}; s=${s//T/(t-$3)}; printf '%s' "${s//K/$4}"; }
bg sound click 0.04 "0.45*$(note "$tick" 2200 0 160)" "lowpass=f=6000"
bg sound switch 0.09 "0.4*$(note "$tick" 1700 0 220)+0.35*$(note "$tick" 2500 0.045 260)" "lowpass=f=6000"
bg sound popup 0.2 "0.3*$(note "$bell" 880 0 22)+0.3*$(note "$bell" 1318.5 0.07 25)"
bg sound exit 0.25 "0.3*$(note "$bell" 1318.5 0 20)+0.32*$(note "$bell" 880 0.09 18)"
bg sound signal 1.0 \
    "0.2*(tanh(3*sin(2*PI*415*t+0.02*sin(2*PI*6*t)))+0.8*tanh(3*sin(2*PI*523*t)))*min(1,t*60)" \
    "highpass=f=200,lowpass=f=2600"
wait_all

# ---------------------------------------------------------------------------------------------
# Layers for the pictures and clips.
bg layer car 240 100 "$car_class" "$car_palette"
bg layer piston 64 48 "$piston_class" "$piston_palette"
bg layer rod 104 104 "$rod_class" "$rod_palette"
bg layer crank 100 100 "$crank_class" "$crank_palette"
bg layer stripes 16 260 "$stripes_class" "$stripes_palette"
bg layer wheel 200 200 "$wheel_class" "$wheel_palette"
bg gradient bg480 480 360
bg gradient bg320 320 240
bg gradient bg656 656 260
bg gradient bg400 400 300
bg gradient bg200 200 200
bg glow glow 360 90
wait_all

# The piston scheme: crank centre CX, CY; crank radius 26, rod 80, one turn in T seconds. Reads
# the looped layers crank, piston, rod after the background at input 0 and names its result [mech].
mech_graph() {
    local cx=$1 cy=$2 T=$3
    local th="(2*PI*t/$T)"
    local wy="($cy-26*cos($th)-sqrt(6400-676*pow(sin($th),2)))"
    cat <<EOF
[0:v]drawbox=x=$((cx - 38)):y=$((cy - 148)):w=5:h=$((116)):c=0x646971:t=fill,
drawbox=x=$((cx + 33)):y=$((cy - 148)):w=5:h=116:c=0x646971:t=fill,
drawbox=x=$((cx - 42)):y=$((cy - 156)):w=84:h=10:c=0x787D85:t=fill,
drawbox=x=$((cx - 4)):y=$((cy - 166)):w=8:h=10:c=$LIGHT:t=fill,
drawbox=x=$((cx - 33)):y=$((cy - 146)):w=66:h=12:c=$AMBER@0.85:t=fill:enable='lt(mod(t,$T),0.1*$T)'[cyl];
[1:v]rotate=a='$th':ow=100:oh=100:fillcolor=none[cr];
[cyl][cr]overlay=x=$((cx - 50)):y=$((cy - 50)):format=auto[s1];
[s1][2:v]overlay=x=$((cx - 32)):y='$wy-30':format=auto[s2];
[3:v]rotate=a='-asin(26*sin($th)/80)':ow=104:oh=104:fillcolor=none[rr];
[s2][rr]overlay=x='$cx+13*sin($th)-52':y='($cy-26*cos($th)+$wy)/2-52':format=auto[mech]
EOF
}
mech_inputs() {
    local fps=$1
    printf '%s\n' -loop 1 -framerate "$fps" -i "$2" \
        -loop 1 -framerate "$fps" -i "$tmp/crank.png" \
        -loop 1 -framerate "$fps" -i "$tmp/piston.png" \
        -loop 1 -framerate "$fps" -i "$tmp/rod.png"
}

# Text drawn with a font: dtext FONT SIZE COLOUR X Y FILE [extra options]
dtext() {
    printf "drawtext=fontfile=%s:fontsize=%s:fontcolor=%s:x='%s':y='%s':textfile=%s%s" \
        "$1" "$2" "$3" "$4" "$5" "$tmp/$6.txt" "${7:+:$7}"
}

# clip1: the crank mechanism with its parts named, three turns.
clip1() {
    text c1_title "Кривошипно-шатунный механизм"
    text c1_piston "Поршень"
    text c1_rod "Шатун"
    text c1_crank "Коленчатый"
    text c1_crank2 "вал"
    {
        mech_graph 110 200 1.5
        echo ";[mech]drawbox=x=0:y=0:w=320:h=24:c=$GRAPHITE_DARK:t=fill,drawbox=x=0:y=24:w=320:h=2:c=$AMBER:t=fill,"
        echo "$(dtext "$font_bold" 13 "$LIGHT" '(w-tw)/2' 6 c1_title),"
        echo "drawbox=x=152:y=80:w=44:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$LIGHT" 202 73 c1_piston),"
        echo "drawbox=x=130:y=140:w=66:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$AMBER" 202 133 c1_rod),"
        echo "drawbox=x=150:y=200:w=46:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$LIGHT" 202 193 c1_crank),"
        echo "$(dtext "$font_regular" 13 "$LIGHT" 202 209 c1_crank2),fade=t=in:d=0.3,fade=t=out:st=4.2:d=0.3[v]"
    } > "$tmp/clip1.graph"
    mapfile -t inputs < <(mech_inputs 25 "$tmp/bg320.png")
    ff "${inputs[@]}" -filter_complex_script "$tmp/clip1.graph" -map '[v]' -t 4.5 -r 25 \
        "${video_avi[@]}" "${exact[@]}" "$out/video/clip1.avi"
}

# piston.gif: the same mechanism alone, one turn, 100 x 100, looping.
piston_gif() {
    { mech_graph 100 166 1.5; echo ";[mech]trim=duration=1.5,scale=100:100:flags=area,split[a][b];[a]palettegen=max_colors=48:stats_mode=full[p];[b][p]paletteuse=dither=none[v]"; } \
        > "$tmp/gif.graph"
    mapfile -t inputs < <(mech_inputs 20 "$tmp/bg200.png")
    ff "${inputs[@]}" -filter_complex_script "$tmp/gif.graph" -map '[v]' -t 1.5 -r 20 -loop 0 \
        "${exact[@]}" "$out/piston.gif"
}

# clip2: a disc brake in section. The disc turns (its stripes run), the pads close on it from
# 1.5 s to 3.5 s and it stops; then they let go and it turns again.
clip2() {
    text c2_title "Дисковый тормоз в разрезе"
    text c2_disc "Диск"
    text c2_caliper "Суппорт"
    text c2_pads "Колодки"
    text c2_free "Педаль отпущена"
    text c2_press "Педаль нажата: торможение"
    local p="(min(1,max(0,(t-1.5)/0.25))*min(1,max(0,(3.6-t)/0.25)))"
    local pos="if(lt(t,1.5),150*t,if(lt(t,3),225+150*(t-1.5)-50*pow(t-1.5,2),if(lt(t,3.8),337.5,337.5+60*pow(t-3.8,2))))"
    cat > "$tmp/clip2.graph" <<EOF
color=c=0x9BA0A8:s=16x180:r=25[disc0];
[disc0][1:v]overlay=x=0:y='-mod($pos,40)'[disc];
[0:v]drawbox=x=40:y=118:w=72:h=6:c=$STEEL:t=fill,
drawbox=x=40:y=118:w=72:h=6:c=$AMBER:t=fill:enable='between(t,1.5,3.6)',
drawbox=x=150:y=196:w=16:h=30:c=0x5A5E66:t=fill,drawbox=x=118:y=210:w=80:h=16:c=0x5A5E66:t=fill[b0];
[b0][disc]overlay=x=150:y=34[b1];
[b1]drawbox=x=108:y=54:w=102:h=18:c=0x5E626A:t=fill,
drawbox=x=108:y=54:w=26:h=110:c=0x5E626A:t=fill,drawbox=x=184:y=54:w=26:h=110:c=0x5E626A:t=fill,
drawbox=x=112:y=88:w=18:h=60:c=$GRAPHITE_DARK:t=fill,
drawbox=x=112:y=88:w=18:h=60:c=$AMBER@0.7:t=fill:enable='between(t,1.5,3.6)'[b2];
color=c=0xB0B5BD:s=22x56:r=25[pist];
color=c=$AMBER_DARK:s=8x70:r=25,drawbox=x=0:y=0:w=3:h=70:c=0x6E7178:t=fill[padl];
color=c=$AMBER_DARK:s=8x70:r=25,drawbox=x=5:y=0:w=3:h=70:c=0x6E7178:t=fill[padr];
[b2][pist]overlay=x='114+6*$p':y=90[b3];
[b3][padl]overlay=x='139+4*$p':y=83[b4];
[b4][padr]overlay=x='169-4*$p':y=83,
drawbox=x=146:y=83:w=4:h=70:c=$HOT@0.6:t=fill:enable='between(t,1.8,3.4)',
drawbox=x=166:y=83:w=4:h=70:c=$HOT@0.6:t=fill:enable='between(t,1.8,3.4)',
drawbox=x=0:y=0:w=320:h=24:c=$GRAPHITE_DARK:t=fill,drawbox=x=0:y=24:w=320:h=2:c=$AMBER:t=fill,
$(dtext "$font_bold" 13 "$LIGHT" '(w-tw)/2' 6 c2_title),
drawbox=x=170:y=186:w=60:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$LIGHT" 236 179 c2_disc),
drawbox=x=210:y=60:w=20:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$LIGHT" 236 53 c2_caliper),
drawbox=x=178:y=120:w=52:h=1:c=$STEEL:t=fill,$(dtext "$font_regular" 13 "$AMBER" 236 113 c2_pads),
$(dtext "$font_regular" 12 "$STEEL" '(w-tw)/2' 218 c2_free "enable='not(between(t,1.5,3.6))'"),
$(dtext "$font_regular" 12 "$AMBER" '(w-tw)/2' 218 c2_press "enable='between(t,1.5,3.6)'"),
fade=t=in:d=0.3,fade=t=out:st=4.7:d=0.3[v]
EOF
    ff -loop 1 -framerate 25 -i "$tmp/bg320.png" -loop 1 -framerate 25 -i "$tmp/stripes.png" \
        -filter_complex_script "$tmp/clip2.graph" -map '[v]' -t 5 -r 25 \
        "${video_avi[@]}" "${exact[@]}" "$out/video/clip2.avi"
}

# car.avi: the car turns on a stand, one turn in 6 s (loops without a seam). The car is a card
# in a 656 x 260 plane turned about its vertical axis and seen in perspective from 900 px.
car_avi() {
    local W=656 H=260 th="(2*PI*in/150)"
    # projected corner: x = cx + s*cos*k, y = cy + r*k with k = D / (D + s*sin)
    k() { printf '(900/(900+(%s)*sin(%s)))' "$1" "$th"; }
    local kl kr
    kl=$(k -328)
    kr=$(k 328)
    text car_label "Модель 3D"
    cat > "$tmp/car.graph" <<EOF
color=c=black@0:s=${W}x${H}:r=25,format=rgba[plane0];
[plane0][1:v]overlay=x=208:y=72:format=auto,
perspective=sense=destination:eval=frame:
x0='328-328*cos($th)*$kl':y0='130-130*$kl':x1='328+328*cos($th)*$kr':y1='130-130*$kr':
x2='328-328*cos($th)*$kl':y2='130+130*$kl':x3='328+328*cos($th)*$kr':y3='130+130*$kr'[card];
[0:v]drawbox=x=0:y=0:w=$W:h=$H:c=$AMBER@0.06:t=fill,
drawbox=x=90:y=226:w=476:h=2:c=$AMBER@0.5:t=fill[stage0];
[stage0][2:v]overlay=x=148:y=70:format=auto[stage1];
[stage1][card]overlay=x=0:y=0:format=auto,
$(dtext "$font_regular" 13 "$STEEL" 12 10 car_label)[v]
EOF
    ff -loop 1 -framerate 25 -i "$tmp/bg656.png" -loop 1 -framerate 25 -i "$tmp/car.png" \
        -loop 1 -framerate 25 -i "$tmp/glow.png" \
        -filter_complex_script "$tmp/car.graph" -map '[v]' -t 6 -r 25 \
        "${video_avi[@]}" "${exact[@]}" "$out/car.avi"
}

# rolic.avi: the start clip. The car drives in under a moving glow, the title and the subtitle
# fade in, a chord swells under a little chime, and everything fades out.
rolic() {
    text r_subtitle "Руководство по уходу и ремонту автомобиля"
    local bell='gte(t,S)*sin(2*PI*F*(t-S))*exp(-(t-S)*3)*(1-exp(-(t-S)*400))'
    local audio="(sin(2*PI*55*t)+0.5*sin(2*PI*110*t)+0.25*sin(2*PI*165*t))*0.22*max(0,1-t/2.1)*min(1,t*4)"
    audio+="+0.1*(sin(2*PI*261.63*t)+sin(2*PI*329.63*t)+sin(2*PI*392*t)+0.7*sin(2*PI*493.88*t))*min(1,max(0,(t-1.5)/0.8))"
    local start freq one
    while read -r start freq; do
        one=${bell//S/$start}
        audio+="+0.16*${one//F/$freq}"
    done <<< $'1.8 783.99\n2.05 1046.5\n2.3 1318.51\n2.55 1567.98'
    cat > "$tmp/rolic.graph" <<EOF
[0:v][2:v]overlay=x='-200+70*t':y=-60:format=auto,
drawbox=x=0:y=282:w=480:h=3:c=0x45484F:t=fill,drawbox=x=60:y=300:w=360:h=1:c=$AMBER@0.35:t=fill[bg];
[bg][1:v]overlay=x='if(lt(t,2),-240+360*(1-pow(1-t/2,3)),120)':y=186:format=auto,
drawtext=fontfile=$font_bold:fontsize=64:fontcolor=$AMBER:text=Velbrook:x=(w-tw)/2:y=58:alpha='min(1,max(0,(t-1.7)/0.6))',
$(dtext "$font_regular" 17 "$LIGHT" '(w-tw)/2' 142 r_subtitle "alpha='min(1,max(0,(t-2.3)/0.6))'"),
drawbox=x=140:y=132:w=200:h=1:c=$AMBER@0.6:t=fill:enable='gte(t,2.3)',
fade=t=in:d=0.5,fade=t=out:st=4.0:d=0.6[v];
aevalsrc=s=44100:d=4.6:exprs='$audio',pan=stereo|c0=c0|c1=c0,aecho=0.8:0.6:61|113|173:0.3|0.2|0.12,
lowpass=f=8000,volume=0.45,afade=t=out:st=3.8:d=0.8,alimiter=limit=0.9:level=0[a]
EOF
    ff -loop 1 -framerate 25 -i "$tmp/bg480.png" -loop 1 -framerate 25 -i "$tmp/car.png" \
        -loop 1 -framerate 25 -i "$tmp/glow.png" \
        -filter_complex_script "$tmp/rolic.graph" -map '[v]' -map '[a]' -t 4.6 -r 25 \
        "${video_avi[@]}" "${audio_avi[@]}" "${exact[@]}" "$out/video/rolic.avi"
}

bg clip1
bg piston_gif
bg clip2
bg car_avi
bg rolic
wait_all

# ---------------------------------------------------------------------------------------------
# Slides, 400 x 300: an illustration over the gradient and a caption band.
slide() {
    local n=$1 caption=$2 picture=$3
    text "s$n" "$caption"
    text "s${n}n" "$n / 6"
    {
        echo "$picture,"
        echo "drawbox=x=0:y=252:w=400:h=48:c=$GRAPHITE_DARK:t=fill,drawbox=x=0:y=252:w=400:h=2:c=$AMBER:t=fill,"
        echo "$(dtext "$font_regular" 19 "$LIGHT" 16 266 "s$n"),"
        echo "$(dtext "$font_bold" 13 "$AMBER" 'w-tw-14' 270 "s${n}n")[v]"
    } > "$tmp/slide$n.graph"
    ff -i "$tmp/bg400.png" -i "$tmp/wheel.png" -i "$tmp/car.png" -i "$tmp/piston.png" -i "$tmp/glow.png" \
        -filter_complex_script "$tmp/slide$n.graph" -map '[v]' -frames:v 1 -update 1 -q:v 3 -pix_fmt yuvj420p \
        "${exact[@]}" "$out/slides/slide0$n.jpg"
}
box() { printf 'drawbox=x=%s:y=%s:w=%s:h=%s:c=%s:t=fill' "$@"; }

engine="[0:v]$(box 110 90 180 120 0x4E525A),$(box 100 70 200 22 0x787D85),$(box 120 212 160 16 $AMBER_DARK)"
for i in 0 1 2 3; do
    engine+=",$(box $((128 + 40 * i)) 52 12 18 $LIGHT),$(box $((124 + 40 * i)) 100 32 90 0x28292D)"
done
engine+="[e0];[3:v]scale=30:22,split=4[p1][p2][p3][p4];[e0][p1]overlay=x=125:y=104[e1];[e1][p2]overlay=x=165:y=150[e2];[e2][p3]overlay=x=205:y=150[e3];[e3][p4]overlay=x=245:y=104"
bg slide 1 "Двигатель: блок цилиндров" "$engine"

bg slide 2 "Колесо и шина" "[0:v][4:v]overlay=x=20:y=-50[g];[g][1:v]overlay=x=100:y=30"

text spark "⚡"
plug="[0:v]$(box 192 30 16 18 0xB0B5BD),$(box 184 48 32 84 0xE8E4DC)"
for y in 58 70 82 94; do plug+=",$(box 184 $y 32 3 0xB9B5AD)"; done
plug+=",$(box 170 132 60 30 0x787D85),$(box 170 146 60 2 0x5A5E66)"
for y in 162 170 178 186 194 202; do plug+=",$(box 180 $y 40 5 0x9BA0A8),$(box 180 $((y + 5)) 40 3 0x5A5E66)"; done
plug+=",$(box 197 210 6 16 0xB0B5BD),$(box 180 210 6 30 0x9BA0A8),$(box 180 236 24 4 0x9BA0A8)"
plug+=",$(dtext "$font_regular" 40 "$AMBER" 212 200 spark)"
bg slide 3 "Свеча зажигания" "$plug"

text plus "+"
text minus "−"
text volts "12 В"
battery="[0:v]$(box 100 110 200 120 0x3E4249),$(box 95 95 210 20 0x5A5E66),$(box 135 78 26 18 $HOT),$(box 240 78 26 18 0x9BA0A8)"
for i in 0 1 2 3 4 5; do battery+=",$(box $((112 + 30 * i)) 100 16 8 0x2B2D31)"; done
battery+=",$(box 100 200 200 6 $AMBER),$(dtext "$font_bold" 30 "$HOT" 137 40 plus),$(dtext "$font_bold" 30 "$LIGHT" 242 40 minus)"
battery+=",$(dtext "$font_bold" 30 "$LIGHT" '(w-tw)/2' 142 volts)"
bg slide 4 "Аккумуляторная батарея" "$battery"

text max "макс"
text min "мин"
oil="[0:v]$(box 178 30 44 18 $AMBER),$(box 196 48 8 196 0xB0B5BD),$(box 196 196 8 48 $AMBER_DARK)"
oil+=",$(box 186 180 28 2 $LIGHT),$(box 186 214 28 2 $LIGHT)"
oil+=",$(dtext "$font_regular" 14 "$LIGHT" 222 173 max),$(dtext "$font_regular" 14 "$LIGHT" 222 207 min)"
oil+=",$(box 60 150 80 60 $AMBER_DARK),$(box 70 140 40 10 $AMBER_DARK),$(box 140 156 30 8 $AMBER_DARK),$(box 166 150 10 8 $AMBER_DARK),$(box 84 132 12 8 0x787D85)"
bg slide 5 "Проверка уровня масла" "$oil"

beam="[0:v][4:v]overlay=x=80:y=-40[g];[g][2:v]overlay=x=20:y=120[c];"
beam+="color=c=0xFFECBE:s=300x120,format=rgba,geq=r=255:g=236:b=190:a='150*(1-X/W)*lte(abs(Y-H/2),12+X*0.16)'[b];[c][b]overlay=x=256:y=112"
bg slide 6 "Фары и освещение" "$beam"
wait_all
