# Bash completion for folioscribe. The options are read from its own --help, the profile
# names from --list-profiles, so this file never falls behind the program.

_folioscribe() {
  local program=$1 cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local option=$prev
  # "--output=FI" completes the part after "=" (bash splits it off when "=" is a break).
  if [[ $cur == -*=* ]]; then
    option=${cur%%=*}
    cur=${cur#*=}
  elif [[ $cur == = ]]; then
    option=${COMP_WORDS[COMP_CWORD-1]}
    cur=
  elif [[ $prev == = ]]; then
    option=${COMP_WORDS[COMP_CWORD-2]}
  fi
  case $option in
    -p|--profile|-profile|/profile)
      COMPREPLY=($(compgen -W "$("$program" --list-profiles 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
      return ;;
    -o|--output|-output|/output)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --domain|-domain|/domain|-j|--jobs|-jobs|/jobs)
      return ;;
    --log|-log|/log)
      COMPREPLY=($(compgen -W "off errors full" -- "$cur"))
      return ;;
  esac
  if [[ $cur == -* ]]; then
    local options
    options=$("$program" --help 2>/dev/null | grep -oE -- '(^|[ ,])--[a-z-]+=?' | tr -d ' ,' | sort -u)
    COMPREPLY=($(compgen -W "$options -justdoit -profile" -- "$cur"))
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace
    return
  fi
  COMPREPLY=($(compgen -d -- "$cur"))
}
complete -F _folioscribe folioscribe
